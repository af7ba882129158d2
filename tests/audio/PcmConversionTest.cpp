#include "audio/PcmConversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Converts one frame and returns the left and right PCM samples.
std::pair<int16_t, int16_t> Convert(float left, float right) {
    const StereoFrame frame{left, right};
    uint32_t word = 0;
    ConvertToPcm16(&frame, &word, 1);
    return {static_cast<int16_t>(word & 0xFFFFu), static_cast<int16_t>(word >> 16)};
}

TEST(ConvertToPcm16, ScalesTruncatesAndClampsEachChannelAlike) {
    struct Case {
        float in;
        int16_t out;
    };
    // 32767 * 0.5 = 16383.5 truncates to 16383; anything at or past 32000/32767 clamps.
    const Case cases[] = {{1.0f, 32000}, {-1.0f, -32000}, {0.5f, 16383},   {-0.5f, -16383}, {0.99999f, 32000},
                          {2.0f, 32000}, {-2.0f, -32000}, {0.0f, 0},       {-0.0f, 0},      {1e-5f, 0},
                          {-1e-5f, 0},   {1e30f, 32000},  {-1e30f, -32000}};
    for (const Case& c : cases) {
        EXPECT_EQ(Convert(c.in, 0.0f).first, c.out) << "left " << c.in;
        EXPECT_EQ(Convert(0.0f, c.in).second, c.out) << "right " << c.in;
    }
}

TEST(ConvertToPcm16, NaNIsSilenceAndInfinitiesClamp) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Convert(nan, 0.5f), std::make_pair(int16_t{0}, int16_t{16383}));
    EXPECT_EQ(Convert(0.5f, -nan), std::make_pair(int16_t{16383}, int16_t{0}));
    EXPECT_EQ(Convert(inf, -inf), std::make_pair(int16_t{32000}, int16_t{-32000}));
}

TEST(ConvertToPcm16, BoundaryOfTheClampIsExact) {
    // 32000 / 32767 lies between two floats; the one just below converts to 31999.
    const float justBelow = 31999.5f / 32767.0f;
    EXPECT_EQ(Convert(justBelow, 0.0f).first, 31999);
}

TEST(ConvertToPcm16, FrameIsLeftFirstInLittleEndianMemory) {
    const StereoFrame frame{0.5f, -0.5f};
    uint32_t word = 0;
    ConvertToPcm16(&frame, &word, 1);
    unsigned char bytes[4];
    std::memcpy(bytes, &word, 4);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0x3F);
    EXPECT_EQ(bytes[2], 0x01);
    EXPECT_EQ(bytes[3], 0xC0);
}

TEST(ConvertToPcm16, NonPositiveCountTouchesNothing) {
    const StereoFrame frames[2] = {{0.5f, 0.5f}, {0.5f, 0.5f}};
    std::vector<uint32_t> out(2, 0xDEADBEEFu);
    ConvertToPcm16(frames, out.data(), 0);
    ConvertToPcm16(frames, out.data(), -5);
    EXPECT_EQ(out[0], 0xDEADBEEFu);
    EXPECT_EQ(out[1], 0xDEADBEEFu);
    ConvertToPcm16(frames, out.data(), 1);
    EXPECT_NE(out[0], 0xDEADBEEFu);
    EXPECT_EQ(out[1], 0xDEADBEEFu);
}

} // namespace
