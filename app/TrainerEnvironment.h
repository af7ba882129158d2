#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class FileDialogSeam;
class HistoryStore;
class MessageSeam;
class ProgressPrompts;
class RegistryStore;
class SidetoneDevice;
class TimerSeam;
class UrlOpener;
class WaveOutDriver;

// What the main window needs from the world outside it, in one place so that tests can hand
// it fakes: the sound driver, the store of the settings, the message boxes and the other
// seams. The program's own is made by ProgramEnvironment. The pointers are not owned and must outlive the window.
struct TrainerEnvironment {
    // Makes the window's sound driver, once, when the window is constructed.
    std::function<std::unique_ptr<WaveOutDriver>()> makeSoundDriver;
    RegistryStore* settingsStore = nullptr;
    MessageSeam* messages = nullptr;
    UrlOpener* urlOpener = nullptr; // where the links go; the desktop's when null
    // The window's timers (timer 31 of the dictations) and its open-file dialog.
    TimerSeam* timers = nullptr;
    FileDialogSeam* fileDialog = nullptr;
    // Draws the random dictation's characters (0-35); when null, the draw of the Koch lesson and
    // adaptive settings (RandomPicker's draw with both off).
    std::function<int32_t()> pickIndex;
    // The seed of each run's draw when pickIndex is null; a random one when this is null too.
    std::function<uint32_t()> dictationSeed;
    // The history of the answers; none is kept when null.
    HistoryStore* history = nullptr;
    // The progress window's questions (save path, confirmation); Qt's dialogs when null.
    ProgressPrompts* progressPrompts = nullptr;
    // The time now [ms, Unix time] for the answers; the system clock when null.
    std::function<int64_t()> clockMs;
    // The copy practice: the seed of each run's material (a random one when null), and the
    // folders of the word lists (the program's own when empty).
    std::function<uint32_t()> copySeed;
    std::vector<std::filesystem::path> wordFolders;
    // Makes the sending window's sidetone stream each time that window opens. When null, or when
    // the stream cannot be opened, the key keeps time without a sound.
    std::function<std::unique_ptr<SidetoneDevice>()> makeSidetoneDevice;
    // [ms] a monotonic clock for the moments the keys go down and up; steady_clock when null.
    std::function<double()> keyClockMs;
};
