// The progress line of long renders, on a clock that the test moves.

#include "render/RenderProgress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class Progress : public ::testing::Test {
protected:
    // A temporary file stands for stderr (open_memstream is not on every platform).
    void SetUp() override { stream = std::tmpfile(); }
    void TearDown() override {
        if (stream != nullptr) {
            std::fclose(stream);
        }
    }

    // Everything written so far; the stream goes on at its end.
    std::string Shown() {
        std::fflush(stream);
        std::string text;
        std::rewind(stream);
        for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) {
            text += static_cast<char>(c);
        }
        std::fseek(stream, 0, SEEK_END);
        return text;
    }
    std::string Close() { return Shown(); }

    FILE* stream = nullptr;
    double now = 100.0; // [s]
};

TEST_F(Progress, ShowsNothingDuringTheFirstTwoSeconds) {
    RenderProgress progress(stream, 44100, [this] { return now; });
    for (now = 100.0; now < 101.99; now += 0.1) {
        progress.Update(0.5, 44100);
    }
    progress.Finish(88200);
    EXPECT_EQ(Close(), "");
}

TEST_F(Progress, ShowsShareAndSoundTimeAtMostFiveTimesASecondAndEndsTheLine) {
    RenderProgress progress(stream, 44100, [this] { return now; });
    now = 102.0;
    progress.Update(0.421, (3600 + 12 * 60 + 34) * 44100LL + 44099);
    EXPECT_EQ(Shown(), "\rzelbin-render:  42%, 1:12:34 of sound written");
    now = 102.19;
    progress.Update(0.5, 44100);
    EXPECT_EQ(Shown(), "\rzelbin-render:  42%, 1:12:34 of sound written") << "too soon for another line";
    now = 102.25;
    progress.Update(0.5, 65 * 44100);
    now = 102.5;
    progress.Update(0.996, 69 * 44100); // truncated, never rounded up to 100 %
    progress.Finish(70 * 44100);
    EXPECT_EQ(Close(), "\rzelbin-render:  42%, 1:12:34 of sound written"
                       "\rzelbin-render:  50%, 0:01:05 of sound written"
                       "\rzelbin-render:  99%, 0:01:09 of sound written"
                       "\rzelbin-render: 100%, 0:01:10 of sound written\n");
}

TEST_F(Progress, WithoutAStreamShowsNothing) {
    RenderProgress progress(nullptr, 44100, [this] { return now; });
    now = 200.0;
    progress.Update(0.5, 44100);
    progress.Finish(44100);
    EXPECT_EQ(Close(), "");
}

} // namespace
