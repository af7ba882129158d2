#include "audio/SoundDriver.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const StereoFrame* NeverCalled(void*, int32_t*) {
    return nullptr;
}

TEST(SoundDriver, DefaultsMakeASilentDriver) {
    SoundDriver driver;
    driver.SetCallback(nullptr, &NeverCalled, nullptr);
    EXPECT_FALSE(driver.QueryCapability());
    EXPECT_FALSE(driver.Configure(44100, 2048, 8, 10, 0));
    EXPECT_FALSE(driver.Configure(44100, 2048, 8, 10));
    EXPECT_TRUE(driver.Start());
    EXPECT_TRUE(driver.Stop());
    EXPECT_FALSE(driver.SetActive(true));
    EXPECT_FALSE(driver.SetActive(false));
    EXPECT_EQ(driver.GetQueuedFrames(), 0);
    EXPECT_EQ(driver.GetPlayedFrames(), 0);
    EXPECT_EQ(driver.GetBufferCount(), 0);
    EXPECT_EQ(driver.GetBufferBytes(), 0);
    EXPECT_TRUE(driver.HasCallback());
    EXPECT_TRUE(driver.IsConfigured());
}

TEST(SoundDriver, NameIsOneConstantAddress) {
    SoundDriver first;
    SoundDriver second;
    const char* name = first.GetName();
    EXPECT_STREQ(name, "Silent");
    EXPECT_EQ(first.GetName(), name);
    EXPECT_EQ(second.GetName(), name);
}

} // namespace
