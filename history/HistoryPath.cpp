#include "history/HistoryPath.h"

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

std::string HistoryPath::Default() {
#ifdef _WIN32
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || local[0] == L'\0') {
        return "";
    }
    const std::u8string text = (std::filesystem::path(local) / "Zelbin" / "history.sqlite").u8string();
    return std::string(text.begin(), text.end());
#else
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and ignored, as the base-directory rules say.
    if (xdg != nullptr && xdg[0] == '/') {
        return std::string(xdg) + "/Zelbin/history.sqlite";
    }
    std::string home;
    const char* variable = std::getenv("HOME");
    if (variable != nullptr && variable[0] != '\0') {
        home = variable;
    } else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        home = entry->pw_dir;
    }
    return home.empty() ? "" : home + "/.local/share/Zelbin/history.sqlite";
#endif
}
