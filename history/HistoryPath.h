#pragma once

#include <string>

// Where the history file lives for the current user, as UTF-8:
// $XDG_DATA_HOME/Zelbin/history.sqlite (by default ~/.local/share/Zelbin/history.sqlite), or
// %LOCALAPPDATA%\Zelbin\history.sqlite on Windows. Empty when no such folder can be named.
// It needs no SQLite, so every build compiles it.
class HistoryPath {
public:
    static std::string Default();
};
