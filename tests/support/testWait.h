// Waiting in the tests for something another process or thread does: one
// helper that looks again every POLL_MS until a condition holds, a deadline
// passes or a reason to give up shows, and that says in its failure line
// what it waited for.
#pragma once

#include <functional>
#include <string>

// How often a wait looks again, in milliseconds.
constexpr int POLL_MS = 20;

enum PollEnd {
    POLL_MET,        // the condition held
    POLL_TIMED_OUT,  // the deadline passed first
    POLL_GAVE_UP,    // the reason to give up showed first (the program ended, say)
};

// Looks at the condition at once and then every POLL_MS for timeoutMs;
// stops early when abandon (if given) holds. Says nothing.
PollEnd pollUntil(const std::function<bool()>& condition, int timeoutMs,
                  const std::function<bool()>& abandon = nullptr);

// pollUntil, and when the condition did not hold a line on standard error:
// "test wait: gave up waiting for <what> after <N> ms", or "... for <what>:
// <abandoned>" when the reason to give up showed. True when it held.
bool waitFor(const std::string& what, const std::function<bool()>& condition, int timeoutMs,
             const std::function<bool()>& abandon = nullptr, const std::string& abandoned = "");
