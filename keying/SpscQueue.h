#pragma once

#include <array>
#include <atomic>
#include <cstddef>

// A fixed-capacity queue between one producer thread and one consumer thread, without locks or
// allocation: each side writes only its own index, publishes it with release and reads the
// other's with acquire. Push fails when the queue is full, Pop when it is empty; neither waits.
// Capacity is a power of 2.
template <class T, size_t Capacity> class SpscQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "Capacity is a power of 2");

public:
    // Producer only.
    bool Push(const T& item) {
        const size_t tail = written.load(std::memory_order_relaxed);
        if (tail - read.load(std::memory_order_acquire) == Capacity) {
            return false;
        }
        items[tail % Capacity] = item;
        written.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer only.
    bool Pop(T& item) {
        const size_t head = read.load(std::memory_order_relaxed);
        if (head == written.load(std::memory_order_acquire)) {
            return false;
        }
        item = items[head % Capacity];
        read.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<T, Capacity> items{};
    std::atomic<size_t> written{0}; // items pushed, ever
    std::atomic<size_t> read{0};    // items popped, ever
};
