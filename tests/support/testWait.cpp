#include "testWait.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int elapsedMs(Clock::time_point since) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

}  // namespace

PollEnd pollUntil(const std::function<bool()>& condition, int timeoutMs, const std::function<bool()>& abandon) {
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (condition()) return POLL_MET;
        if (abandon && abandon()) return POLL_GAVE_UP;
        if (elapsedMs(start) >= timeoutMs) return POLL_TIMED_OUT;
        std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
    }
}

bool waitFor(const std::string& what, const std::function<bool()>& condition, int timeoutMs,
             const std::function<bool()>& abandon, const std::string& abandoned) {
    const Clock::time_point start = Clock::now();
    const PollEnd end = pollUntil(condition, timeoutMs, abandon);
    if (end == POLL_TIMED_OUT) {
        std::fprintf(stderr, "test wait: gave up waiting for %s after %d ms\n", what.c_str(), elapsedMs(start));
    } else if (end == POLL_GAVE_UP) {
        std::fprintf(stderr, "test wait: gave up waiting for %s: %s\n", what.c_str(),
                     abandoned.empty() ? "its reason to give up showed" : abandoned.c_str());
    }
    return end == POLL_MET;
}
