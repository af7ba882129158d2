#include "practice/CopyPractice.h"

#include "morse/MorseTable.h"
#include "morse/Synthesiser.h"
#include "render/TextFolder.h"

#include <algorithm>

namespace {

const std::vector<WpmSchedule::Sign> kNoSigns;

} // namespace

CopyPractice::CopyPractice(Synthesiser& synthesiser) : synthesiser(synthesiser) {}

bool CopyPractice::Play(std::string_view text, int32_t characterWpm, int32_t farnsworthWpm, int64_t nowMs) {
    const int32_t overall = farnsworthWpm > 0 && farnsworthWpm < characterWpm ? farnsworthWpm : 0;
    std::string foldedText = TextFolder::Fold(text);
    WpmSchedule laid(foldedText, characterWpm, overall);
    if (laid.Signs().empty()) {
        return false;
    }
    folded = std::move(foldedText);
    schedule = std::move(laid);
    wpm = characterWpm;
    farnsworth = overall;
    startMs = nowMs;
    stoppedAt.reset();
    synthesiser.PlayRun(schedule->Tones());
    return true;
}

void CopyPractice::Stop() {
    if (!schedule || stoppedAt) {
        return;
    }
    if (Playing()) {
        stoppedAt = synthesiser.RunFrames();
        synthesiser.PlaySilentSlot();
    }
}

bool CopyPractice::Playing() const {
    return schedule && !stoppedAt && synthesiser.IsPlaying();
}

const std::vector<WpmSchedule::Sign>& CopyPractice::Signs() const {
    return schedule ? schedule->Signs() : kNoSigns;
}

// The frame the run has reached: where Stop cut it, where the audio thread is while it plays,
// its end once it is over.
int64_t CopyPractice::ReachedFrame() const {
    if (stoppedAt) {
        return *stoppedAt;
    }
    return Playing() ? synthesiser.RunFrames() : schedule->EndFrame();
}

CopyPractice::Result CopyPractice::Correct(std::string_view typed) {
    Result result;
    if (!schedule) {
        return result;
    }
    Stop();
    const int64_t reached = ReachedFrame();
    std::vector<int32_t> played;
    for (const WpmSchedule::Sign& sign : schedule->Signs()) {
        if (sign.startFrame < reached) {
            played.push_back(sign.sign);
        }
    }
    result.marks = CopyAlignment::Align(played, typed);
    result.run = {startMs, wpm, farnsworth, static_cast<int32_t>(played.size()), 0};
    for (size_t i = 0; i < result.marks.size(); ++i) {
        const CopyAlignment::Mark& mark = result.marks[i];
        const size_t slot = schedule->Signs()[i].slot;
        const size_t previous = i == 0 ? 0 : schedule->Signs()[i - 1].slot + 1;
        result.spaceBefore.push_back(folded.find(TextFolder::kSpace, previous) < slot);
        result.correct += mark.correct ? 1 : 0;
        AnswerRecord answer;
        answer.atMs = startMs + schedule->Signs()[i].startFrame * 1000 / kSampleRate;
        answer.mode = "copy";
        answer.SetPlayedSign(mark.sign);
        if (mark.typedSign != MorseTable::kNoIndex) {
            answer.SetTypedSign(mark.typedSign);
        } else if (!mark.typed.empty()) {
            answer.typedName = mark.typed;
        }
        result.answers.push_back(std::move(answer));
    }
    result.run.correct = result.correct;
    if (!result.answers.empty()) {
        result.run.atMs = result.answers.front().atMs;
    }
    schedule.reset();
    return result;
}

int32_t CopyPractice::AutoSpeed(int32_t speed, int32_t correct, int32_t played) {
    if (played <= 0) {
        return speed;
    }
    if (correct == played) {
        return std::min(speed + 1, kHighestWpm);
    }
    if (correct * 100 < 80 * played) {
        return std::max(speed - 1, kLowestWpm);
    }
    return speed;
}
