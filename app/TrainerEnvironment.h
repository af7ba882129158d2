#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class FileDialogSeam;
class MessageSeam;
class RegistryStore;
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
    // Draws the random dictation's characters (0-35); when null, RandomPicker's draw.
    std::function<int32_t()> pickIndex;
};
