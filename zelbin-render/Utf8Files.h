#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// File names as UTF-8 text on every platform. On Windows the command line and the file
// calls are UTF-16, and a name outside the ANSI code page (Cyrillic on a Western system, say)
// would not survive the narrow main() arguments or fopen(); elsewhere names are bytes and
// pass through unchanged.

// The program's arguments, argv[0] first, each as UTF-8. On Windows they are read again from
// the UTF-16 command line; elsewhere they are argv as given.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// The path named by a UTF-8 string.
std::filesystem::path PathFromUtf8(const std::string& utf8);

// fopen() of a path named in UTF-8 (the wide-character open on Windows).
std::FILE* OpenUtf8(const std::string& utf8, const char* mode);
