#include "practice/FileDictation.h"

#include "morse/ByteClassifier.h"
#include "morse/FileByteReader.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "render/TextFolder.h"

#include <string_view>

FileDictation::FileDictation(const MorseTable& table, Synthesiser& synthesiser)
    : table(table), synthesiser(synthesiser) {}

bool FileDictation::IsNotAFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

FileDictation::Step FileDictation::Play() {
    offset = 0;
    const FileByteReader::Bytes read = FileByteReader::ReadBytesAt(filePath, offset);
    if (read.status == FileByteReader::Status::OpenFailed) {
        return Step::Unreadable;
    }
    active = true;
    return PlaySlot(read);
}

void FileDictation::Stop() {
    active = false;
    offset = 0;
}

FileDictation::Step FileDictation::Tick() {
    const FileByteReader::Bytes read = FileByteReader::ReadBytesAt(filePath, offset);
    if (read.status == FileByteReader::Status::OpenFailed) {
        return Step::Unreadable;
    }
    currentIndex = 0;
    if (read.status == FileByteReader::Status::EndOfFile) {
        synthesiser.PlaySilentSlot(); // whatever still sounds stops; currentCode stays
        return Step::EndOfFile;
    }
    return PlaySlot(read);
}

// Loads the character of a letter or digit and sounds it; for anything else (a character of
// more than one byte, any other byte, the end of the file at Play) loads 'A' and stays silent.
// The slot takes the bytes of one valid UTF-8 character, or a single byte.
FileDictation::Step FileDictation::PlaySlot(const FileByteReader::Bytes& read) {
    const bool isByte = read.status == FileByteReader::Status::Byte;
    char32_t codePoint = 0;
    const size_t length = isByte ? TextFolder::Decode(std::string_view(reinterpret_cast<const char*>(read.bytes),
                                                                       static_cast<size_t>(read.count)),
                                                      0, codePoint)
                                 : 0;
    const ByteSlot slot = length == 1 ? ByteClassifier::Classify(read.bytes[0]) : ByteSlot{0, false};
    currentIndex = slot.index;
    offset += length > 1 ? static_cast<int32_t>(length) : 1;
    table.CodeForIndex(currentIndex, synthesiser.currentCode);
    if (slot.sounds) {
        synthesiser.PlayCode();
        return Step::Sounded;
    }
    synthesiser.PlaySilentSlot();
    return Step::Silent;
}
