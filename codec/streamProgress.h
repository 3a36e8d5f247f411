// How far a stream step has come, for a caller that shows it (the page's
// progress bar): the step calls report after every block it reads, with the
// input bytes taken so far. The programs pass none.
#pragma once

#include <cstdint>

struct StreamProgress {
    void (*report)(void* context, std::uint64_t bytesRead);
    void* context;
};

inline void tellProgress(const StreamProgress* progress, std::uint64_t bytesRead) {
    if (progress != nullptr && progress->report != nullptr) progress->report(progress->context, bytesRead);
}
