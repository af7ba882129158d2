#pragma once

#include <filesystem>
#include <string>

// Where zelbin-render writes: a temporary file in the target's folder, renamed over the target
// only once the sound file is complete and closed, so that a render that fails or is
// interrupted leaves no half-written file and an older file as it was. A link to a file is
// followed, and the file it names is replaced. A target that exists and is neither a file nor
// a folder (a device such as /dev/full, a pipe) cannot be replaced: it is written in place and
// never removed. Names are UTF-8.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile(); // discards the temporary file unless it was committed

    // Creates the temporary file (empty, with the permissions of the file it will replace).
    // False with the reason: a folder in the target's place, a folder that cannot be written.
    bool Create(const std::string& target, std::string& error);
    // The name to write to: the temporary file, or the target when it is written in place.
    const std::string& WritePath() const { return writePath; }
    // Renames the temporary file over the target; false with the reason (the temporary file
    // is then removed).
    bool Commit(std::string& error);
    // Removes the temporary file, if any; the target is left as it was.
    void Discard();

private:
    static bool CreateExclusive(const std::filesystem::path& path, int& savedErrno);
    static bool Replace(const std::filesystem::path& from, const std::filesystem::path& to, int& savedErrno);

    std::filesystem::path target;
    std::filesystem::path temporary; // empty: none, or written in place
    std::string writePath;
};
