#include "morse/ByteClassifier.h"

ByteSlot ByteClassifier::Classify(unsigned char byte) {
    if (byte >= '0' && byte <= '9') {
        return {byte - 22, true}; // '0' is 0x30 = 48, index 26
    }
    if (byte >= 'A' && byte <= 'Z') {
        return {byte - 65, true};
    }
    if (byte >= 'a' && byte <= 'z') {
        return {byte - 97, true};
    }
    return {0, false};
}
