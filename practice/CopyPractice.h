#pragma once

#include "history/AnswerRecord.h"
#include "history/CopyRunRecord.h"
#include "practice/CopyAlignment.h"
#include "render/WpmSchedule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Synthesiser;

// The copy practice, without any window: a run of text is laid out under the words-per-minute
// timing (WpmSchedule, the same as zelbin-render's) and played by the synthesiser as one run;
// what the user typed is then aligned with the signs that sounded (CopyAlignment), scored, and
// turned into the rows of the history. "Vitesse auto" moves the speed after each correction.
//
// Everything runs on the UI thread; the synthesiser's run walk is what the audio thread sees.
class CopyPractice {
public:
    static constexpr int32_t kLowestWpm = 5;
    static constexpr int32_t kHighestWpm = 60;
    static constexpr int32_t kSampleRate = 44100; // [frames/s]

    struct Result {
        std::vector<CopyAlignment::Mark> marks; // one per sign played, in play order
        std::vector<bool> spaceBefore;          // of each mark: a word begins there
        int32_t correct = 0;
        CopyRunRecord run;                 // the run, for the history
        std::vector<AnswerRecord> answers; // one per sign played, mode "copy"
    };

    explicit CopyPractice(Synthesiser& synthesiser);

    // Plays text (UTF-8; prosigns written <AR>) at wpm with Farnsworth spacing down to
    // farnsworth (0: none); nowMs [ms, Unix time] is taken as the moment its first frame sounds.
    // Returns false, playing nothing, when the text holds no sign.
    bool Play(std::string_view text, int32_t wpm, int32_t farnsworth, int64_t nowMs);
    // Ends the run where it is: the signs that have begun count as played, the others not.
    void Stop();
    // A run is sounding.
    bool Playing() const;
    // A run was played and not corrected yet.
    bool HasRun() const { return schedule.has_value(); }

    // Aligns typed with the signs of the run that sounded (all of them once it has ended),
    // and ends the run: the next correction needs a new Play.
    Result Correct(std::string_view typed);

    // The speed after a run under "Vitesse auto": one more when every sign was right (at most
    // kHighestWpm), one less below 80 % (at least kLowestWpm), else the same.
    static int32_t AutoSpeed(int32_t wpm, int32_t correct, int32_t played);

    // The signs of the run in play order and where each begins [frames].
    const std::vector<WpmSchedule::Sign>& Signs() const;

private:
    int64_t ReachedFrame() const;

    Synthesiser& synthesiser;
    std::optional<WpmSchedule> schedule;
    std::string folded; // the text of the run, folded
    int32_t wpm = 0;
    int32_t farnsworth = 0;
    int64_t startMs = 0;
    std::optional<int64_t> stoppedAt; // [frames] where Stop cut the run
};
