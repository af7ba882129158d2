#pragma once

#include "morse/FileByteReader.h"

#include <cstdint>
#include <filesystem>

class MorseTable;
class Synthesiser;

// The file dictation: plays a text file one character per dictation interval, letters and
// digits as Morse, anything else as a silent interval. A character is a UTF-8 character (so
// "é" is one silent slot, not two), or a single byte where the bytes are not valid UTF-8.
// Nothing stays open between two reads: each read opens the file by its path, takes the bytes
// of the character at the current offset and closes it, so the file may be replaced or chosen
// anew while the dictation runs.
//
// The timer that paces the ticks belongs to the window. Everything runs on the UI thread.
class FileDictation {
public:
    // What a Play or a Tick did.
    enum class Step {
        Sounded,    // a letter or digit was loaded and plays
        Silent,     // any other byte: index 0 ('A') loaded, the synthesiser falls silent
        EndOfFile,  // the end of the file (or Ctrl-Z): the synthesiser falls silent, nothing else changes
        Unreadable, // the file could not be opened or read: nothing changed
    };

    FileDictation(const MorseTable& table, Synthesiser& synthesiser);

    // Whether path names something that is not a regular file (a folder, a FIFO, a device):
    // the dictation refuses it. A path that names nothing yet is not refused.
    static bool IsNotAFile(const std::filesystem::path& path);

    // The file of the next read; used from the next Play or Tick on.
    void SetPath(const std::filesystem::path& path) { filePath = path; }
    const std::filesystem::path& Path() const { return filePath; }

    // Rewinds and plays the first byte; the dictation is then active. An unreadable file (or
    // no file) changes nothing and gives Unreadable. An empty file gives a silent first slot:
    // the end of the file is not looked for here.
    Step Play();
    // Becomes inactive and rewinds to the start of the file.
    void Stop();
    // Plays the byte at the current offset. An unreadable file leaves the offset, so the next
    // tick tries the same byte again. Call it only while active.
    Step Tick();

    bool Active() const { return active; }
    int32_t Offset() const { return offset; } // [bytes] where the next slot's character begins
    int32_t CurrentIndex() const { return currentIndex; }

private:
    Step PlaySlot(const FileByteReader::Bytes& read);

    const MorseTable& table;
    Synthesiser& synthesiser;
    std::filesystem::path filePath; // empty until a file is chosen
    bool active = false;            // true from a successful Play until Stop, also after the end
    int32_t offset = 0;             // [bytes]
    int32_t currentIndex = 0;       // index loaded by the last slot
};
