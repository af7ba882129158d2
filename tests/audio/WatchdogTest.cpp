// A test that hangs on purpose: the watchdog must name it and end the program long before
// this test would end by itself. CTest passes it when the watchdog's report appears.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(TestWatchdog, NamesAHangingTestAndEndsTheProgram) {
    std::this_thread::sleep_for(std::chrono::seconds(60));
}
