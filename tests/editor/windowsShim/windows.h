// Just enough of the Windows API declarations for the editor's
// configuration code to compile natively, for its native tests and the fuzz
// target. They call only the text functions; the file and window functions
// that use these stubs are never reached, and abort if they are.
#pragma once

#include <cstdio>
#include <cstdlib>

typedef unsigned long DWORD;
typedef unsigned long COLORREF;
typedef struct ShimWindow* HWND;
typedef struct ShimFont* HFONT;
typedef struct ShimBrush* HBRUSH;

constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr unsigned CP_UTF8 = 65001;

inline DWORD GetModuleFileNameW(void*, wchar_t*, DWORD) { std::abort(); }
inline int SetCurrentDirectoryW(const wchar_t*) { std::abort(); }
inline DWORD GetLastError() { std::abort(); }
inline int WideCharToMultiByte(unsigned, DWORD, const wchar_t*, int, char*, int, const char*, int*) { std::abort(); }
inline std::FILE* _wfopen(const wchar_t*, const wchar_t*) { std::abort(); }
