#include "practice/RandomDictation.h"

#include "morse/MorseTable.h"
#include "morse/RandomPicker.h"
#include "morse/Synthesiser.h"
#include "practice/VirtualKeyIndex.h"

#include <chrono>
#include <utility>

namespace {

int64_t SystemNowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

RandomDictation::RandomDictation(const MorseTable& table, Synthesiser& synthesiser)
    : table(table), synthesiser(synthesiser), picker(&RandomPicker::PickIndex), clock(&SystemNowMs) {}

void RandomDictation::SetPicker(Picker newPicker) {
    picker = newPicker ? std::move(newPicker) : Picker(&RandomPicker::PickIndex);
}

void RandomDictation::SetAnswerObserver(AnswerObserver newObserver) {
    observer = std::move(newObserver);
}

void RandomDictation::SetClock(Clock newClock) {
    clock = newClock ? std::move(newClock) : Clock(&SystemNowMs);
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

void RandomDictation::SetSignAnswers(bool accepted) {
    signAnswers = accepted;
}

void RandomDictation::Key(uint32_t virtualKey) {
    int32_t index = VirtualKeyIndex(table, virtualKey);
    if (index == MorseTable::kNoIndex && signAnswers) {
        index = VirtualKeySignIndex(virtualKey);
    }
    if (index == MorseTable::kNoIndex) {
        answerIndex = 0; // any other key answers 'A', but is no letter or digit typed
        return;
    }
    answerIndex = index;
    typedThisInterval = index;
    typedAtMs = clock();
}

ScoredAnswer RandomDictation::Tick() {
    const ScoredAnswer answer{currentIndex, typedThisInterval, currentIndex == answerIndex, startMs,
                              typedThisInterval ? typedAtMs - startMs : -1};
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
    if (currentIndex < MorseTable::kCharacterCount || !table.CodeForSign(currentIndex, synthesiser.currentCode)) {
        table.CodeForIndex(currentIndex, synthesiser.currentCode);
    }
    synthesiser.PlayCode();
    startMs = clock();
}
