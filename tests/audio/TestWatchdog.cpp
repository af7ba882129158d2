// A watchdog for test programs whose tests wait on threads: a test that is still running
// after its time (45 s, or ZELBIN_TEST_WATCHDOG_S seconds) is named on stderr and the
// program ends with status 124, so that a hang is reported well within a minute instead of
// at CTest's timeout. Linked into a test program, it arms itself before main runs.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

class TestWatchdog : public testing::EmptyTestEventListener {
public:
    TestWatchdog() : limit(LimitFromEnvironment()), thread([this] { Watch(); }) {}
    ~TestWatchdog() override {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            quitting = true;
        }
        changed.notify_all();
        thread.join();
    }

    void OnTestStart(const testing::TestInfo& test) override {
        const std::lock_guard<std::mutex> lock(mutex);
        name = std::string(test.test_suite_name()) + "." + test.name();
        deadline = std::chrono::steady_clock::now() + limit;
        running = true;
        changed.notify_all();
    }

    void OnTestEnd(const testing::TestInfo&) override {
        const std::lock_guard<std::mutex> lock(mutex);
        running = false;
        changed.notify_all();
    }

private:
    static std::chrono::seconds LimitFromEnvironment() {
        const char* text = std::getenv("ZELBIN_TEST_WATCHDOG_S");
        const int seconds = text != nullptr ? std::atoi(text) : 0;
        return std::chrono::seconds(seconds > 0 ? seconds : 45);
    }

    void Watch() {
        std::unique_lock<std::mutex> lock(mutex);
        while (!quitting) {
            if (!running) {
                changed.wait(lock);
                continue;
            }
            if (changed.wait_until(lock, deadline) == std::cv_status::timeout && running &&
                std::chrono::steady_clock::now() >= deadline) {
                std::fprintf(stderr, "\nwatchdog: %s hung: still running after %lld s\n", name.c_str(),
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                _exit(124);
            }
        }
    }

    const std::chrono::seconds limit;
    std::mutex mutex;
    std::condition_variable changed;
    std::string name;
    std::chrono::steady_clock::time_point deadline;
    bool running = false;
    bool quitting = false;
    std::thread thread; // last: starts once everything above exists
};

// gtest owns and deletes the listener when the program ends.
const bool kArmed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new TestWatchdog);
    return true;
}();

} // namespace
