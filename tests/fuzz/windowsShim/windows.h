// Just enough of the Windows API declarations for the editor's
// configuration code to compile natively in the fuzz build. The fuzz target
// calls only the text functions; the file and window functions that use
// these stubs are never reached, and abort if they are.
#pragma once

#include <cstdlib>

typedef unsigned long DWORD;
typedef unsigned long COLORREF;
typedef struct ShimWindow* HWND;
typedef struct ShimFont* HFONT;
typedef struct ShimBrush* HBRUSH;

constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

inline DWORD GetModuleFileNameA(void*, char*, DWORD) { std::abort(); }
inline int SetCurrentDirectoryA(const char*) { std::abort(); }
inline DWORD GetLastError() { std::abort(); }
