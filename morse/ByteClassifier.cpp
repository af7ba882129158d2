#include "morse/ByteClassifier.h"

#include "morse/MorseTable.h"

ByteSlot ByteClassifier::Classify(unsigned char byte) {
    // Lower-case ASCII letters sound as their capitals; the table maps the rest.
    const unsigned char character = byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
    const int32_t index = MorseTable().IndexOfChar(static_cast<char>(character));
    if (index == MorseTable::kNoIndex) {
        return {0, false};
    }
    return {index, true};
}
