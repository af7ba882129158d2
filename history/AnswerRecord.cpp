#include "history/AnswerRecord.h"

#include "morse/MorseTable.h"

namespace {

void StoreSign(int32_t sign, char& character, std::string& name) {
    const std::string_view text = MorseTable().SignName(sign);
    if (text.empty()) {
        character = '*'; // a code that is no sign
    } else if (text.size() == 1) {
        character = text[0];
    } else {
        name = std::string(text);
    }
}

} // namespace

void AnswerRecord::SetPlayedSign(int32_t sign) {
    StoreSign(sign, played, playedName);
}

void AnswerRecord::SetTypedSign(int32_t sign) {
    StoreSign(sign, typed, typedName);
}
