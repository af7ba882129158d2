// Where the history file is looked for: the XDG data folder, or %LOCALAPPDATA% on Windows.

#include "history/HistoryPath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32

TEST(HistoryPath, FollowsLocalAppDataWithItsNameInUtf8) {
    ASSERT_EQ(_wputenv_s(L"LOCALAPPDATA", L"C:\\Users\\\u00C9lodie\\AppData\\Local"), 0);
    EXPECT_EQ(HistoryPath::Default(), "C:\\Users\\\xC3\x89lodie\\AppData\\Local\\Zelbin\\history.sqlite");
    ASSERT_EQ(_wputenv_s(L"LOCALAPPDATA", L""), 0);
    EXPECT_EQ(HistoryPath::Default(), "") << "no folder to name";
}

#else

TEST(HistoryPath, FollowsXdgDataHome) {
    const std::string home = std::getenv("HOME");
    setenv("XDG_DATA_HOME", "/data/elsewhere", 1);
    EXPECT_EQ(HistoryPath::Default(), "/data/elsewhere/Zelbin/history.sqlite");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(HistoryPath::Default(), home + "/.local/share/Zelbin/history.sqlite");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HistoryPath::Default(), home + "/.local/share/Zelbin/history.sqlite");
    // Without HOME, the home folder of the account (tools/run-test sets HOME elsewhere).
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    ASSERT_NE(std::string(account->pw_dir), home);
    for (const char* unusable : {"", static_cast<const char*>(nullptr)}) {
        unusable != nullptr ? setenv("HOME", unusable, 1) : unsetenv("HOME");
        EXPECT_EQ(HistoryPath::Default(), std::string(account->pw_dir) + "/.local/share/Zelbin/history.sqlite");
    }
    setenv("HOME", home.c_str(), 1);
}

#endif

} // namespace
