#include "practice/RandomDictation.h"

#include "morse/MorseTable.h"
#include "morse/RandomPicker.h"
#include "morse/Synthesiser.h"
#include "practice/VirtualKeyIndex.h"

#include <utility>

RandomDictation::RandomDictation(const MorseTable& table, Synthesiser& synthesiser)
    : table(table), synthesiser(synthesiser), picker(&RandomPicker::PickIndex) {}

void RandomDictation::SetPicker(Picker newPicker) {
    picker = newPicker ? std::move(newPicker) : Picker(&RandomPicker::PickIndex);
}

void RandomDictation::SetAnswerObserver(AnswerObserver newObserver) {
    observer = std::move(newObserver);
}

void RandomDictation::Play() {
    PlayNext();
    active = true;
    score = 0;
    total = 0;
    typedThisInterval.reset();
}

void RandomDictation::Stop() {
    active = false;
}

void RandomDictation::Key(uint32_t virtualKey) {
    const int32_t index = VirtualKeyIndex(table, virtualKey);
    if (index == MorseTable::kNoIndex) {
        answerIndex = 0; // any other key answers 'A'
        typedThisInterval.reset();
        return;
    }
    answerIndex = index;
    typedThisInterval = index;
}

ScoredAnswer RandomDictation::Tick() {
    const ScoredAnswer answer{currentIndex, typedThisInterval, currentIndex == answerIndex};
    if (answer.correct) {
        ++score;
    }
    ++total;
    typedThisInterval.reset();
    if (observer) {
        observer(answer);
    }
    PlayNext();
    return answer;
}

void RandomDictation::PlayNext() {
    currentIndex = picker();
    table.CodeForIndex(currentIndex, synthesiser.currentCode);
    synthesiser.PlayCode();
}
