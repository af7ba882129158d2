#include "practice/FileDictation.h"

#include "morse/ByteClassifier.h"
#include "morse/FileByteReader.h"
#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"

FileDictation::FileDictation(const MorseTable& table, Synthesiser& synthesiser)
    : table(table), synthesiser(synthesiser) {}

FileDictation::Step FileDictation::Play() {
    offset = 0;
    const FileByteReader::Result read = FileByteReader::ReadByteAt(filePath, offset);
    if (read.status == FileByteReader::Status::OpenFailed) {
        return Step::Unreadable;
    }
    active = true;
    return PlaySlot(read.status == FileByteReader::Status::Byte, read.byte);
}

void FileDictation::Stop() {
    active = false;
    offset = 0;
}

FileDictation::Step FileDictation::Tick() {
    const FileByteReader::Result read = FileByteReader::ReadByteAt(filePath, offset);
    if (read.status == FileByteReader::Status::OpenFailed) {
        return Step::Unreadable;
    }
    currentIndex = 0;
    if (read.status == FileByteReader::Status::EndOfFile) {
        synthesiser.PlaySilentSlot(); // whatever still sounds stops; currentCode stays
        return Step::EndOfFile;
    }
    return PlaySlot(true, read.byte);
}

// Loads the byte's character and sounds it, or for any other byte (and the end of the file at
// Play) loads 'A' and stays silent.
FileDictation::Step FileDictation::PlaySlot(bool isByte, unsigned char byte) {
    const ByteSlot slot = isByte ? ByteClassifier::Classify(byte) : ByteSlot{0, false};
    currentIndex = slot.index;
    ++offset;
    table.CodeForIndex(currentIndex, synthesiser.currentCode);
    if (slot.sounds) {
        synthesiser.PlayCode();
        return Step::Sounded;
    }
    synthesiser.PlaySilentSlot();
    return Step::Silent;
}
