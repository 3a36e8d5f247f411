// Whole-stream reading and writing for the test filters, straight on the
// Windows handles so that no C runtime translation touches the bytes.
#pragma once

#include <windows.h>

#include <string>

inline std::string readAllInput() {
    std::string bytes;
    char chunk[65536];
    DWORD count = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof chunk, &count, nullptr) && count > 0) {
        bytes.append(chunk, count);
    }
    return bytes;
}

// Writes all bytes to the standard handle which; false when a write fails.
inline bool writeAll(DWORD which, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD count = 0;
        if (!WriteFile(GetStdHandle(which), bytes.data() + written,
                       static_cast<DWORD>(bytes.size() - written), &count, nullptr)) {
            return false;
        }
        written += count;
    }
    return true;
}
