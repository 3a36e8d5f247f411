#include "messageBoxDriver.h"

#include <cstring>

#include "testWait.h"

namespace {

const char* const DIALOG_CLASS = "#32770";

// A visible dialog box of the process: a message box or a common dialog.
HWND findBox(DWORD processId, HWND skip = nullptr) {
    return findProcessWindow(processId, DIALOG_CLASS, true, nullptr, skip);
}

// A 32-bit top-down bitmap selected into a memory context.
struct Canvas {
    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD* bits;
    int pixelCount;
};

Canvas openCanvas(HDC reference, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    Canvas canvas = {CreateCompatibleDC(reference), nullptr, nullptr, nullptr, width * height};
    void* bits = nullptr;
    canvas.bitmap = CreateDIBSection(canvas.memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.bits = static_cast<DWORD*>(bits);
    canvas.old = SelectObject(canvas.memory, canvas.bitmap);
    return canvas;
}

// The canvas's pixels, top row first; releases the canvas.
std::vector<DWORD> closeCanvas(Canvas* canvas) {
    GdiFlush();
    std::vector<DWORD> pixels(canvas->bits, canvas->bits + canvas->pixelCount);
    SelectObject(canvas->memory, canvas->old);
    DeleteObject(canvas->bitmap);
    DeleteDC(canvas->memory);
    return pixels;
}

// Pixels of a rectangle of the screen, 32 bits each, top row first.
std::vector<DWORD> capturePixels(HDC source, int x, int y, int width, int height) {
    Canvas canvas = openCanvas(source, width, height);
    BitBlt(canvas.memory, 0, 0, width, height, source, x, y, SRCCOPY);
    return closeCanvas(&canvas);
}

// The system icon drawn on a plain background of the given colour.
std::vector<DWORD> drawIcon(HICON icon, int width, int height, COLORREF background) {
    HDC screen = GetDC(nullptr);
    Canvas canvas = openCanvas(screen, width, height);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(canvas.memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(canvas.memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> pixels = closeCanvas(&canvas);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Tells which system icon a box shows by comparing the icon control's pixels
// on the screen with each system icon drawn here: icons are objects of the
// other process and cannot be compared by handle.
BoxIcon iconOfControl(HWND iconControl) {
    RECT rect;
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || width > 256 || height > 256) {
        return ICON_UNKNOWN;
    }
    HDC screen = GetDC(nullptr);
    const std::vector<DWORD> shown = capturePixels(screen, rect.left, rect.top, width, height);
    ReleaseDC(nullptr, screen);

    const struct { BoxIcon kind; LPCSTR name; } candidates[] = {
        {ICON_INFORMATION, IDI_INFORMATION}, {ICON_ERROR, IDI_ERROR},
        {ICON_WARNING, IDI_WARNING}, {ICON_QUESTION, IDI_QUESTION}};
    BoxIcon best = ICON_UNKNOWN;
    long bestMismatch = -1;
    for (const auto& candidate : candidates) {
        HICON icon = LoadIconA(nullptr, candidate.name);
        const std::vector<DWORD> onBlack = drawIcon(icon, width, height, RGB(0, 0, 0));
        const std::vector<DWORD> onWhite = drawIcon(icon, width, height, RGB(255, 255, 255));
        long opaque = 0;
        long mismatch = 0;
        for (size_t i = 0; i < shown.size(); i++) {
            if (onBlack[i] != onWhite[i]) {
                continue;   // transparent or blended: shows the box's background
            }
            opaque++;
            mismatch += (onBlack[i] & 0xFFFFFF) != (shown[i] & 0xFFFFFF);
        }
        if (opaque > 0 && mismatch * 10 < opaque && (bestMismatch < 0 || mismatch < bestMismatch)) {
            best = candidate.kind;
            bestMismatch = mismatch;
        }
    }
    return best;
}

BOOL CALLBACK describeChild(HWND child, LPARAM data) {
    MessageBoxInfo* box = reinterpret_cast<MessageBoxInfo*>(data);
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(className, "Button") == 0) {
        box->buttons.push_back({GetDlgCtrlID(child), windowText(child)});
    } else if (_stricmp(className, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            box->icon = iconOfControl(child);
        } else if (box->text.empty()) {
            box->text = windowText(child);
        }
    }
    return TRUE;
}

void describeBox(HWND window, MessageBoxInfo* box) {
    *box = MessageBoxInfo();
    box->window = window;
    box->owner = GetWindow(window, GW_OWNER);
    box->caption = windowText(window);
    EnumChildWindows(window, describeChild, reinterpret_cast<LPARAM>(box));
}

}  // namespace

bool waitForMessageBox(const EditorSession& session, MessageBoxInfo* box, int timeoutMs, HWND skip) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    HWND window = nullptr;
    // A box that went away before it answered is looked for again.
    const bool settled = waitFor("a message box of the editor", [&] {
        window = findBox(session.process.dwProcessId, skip);
        const ULONGLONG now = GetTickCount64();
        return window != nullptr && now < deadline && waitUntilSettled(session, window, static_cast<int>(deadline - now));
    }, timeoutMs, [&] { return programEnded(session); }, "the editor ended");
    if (!settled) return false;
    // The icon is read from the screen, where the X server may show it a
    // little after the box painted it.
    waitFor("the box's icon on the screen", [&] {
        describeBox(window, box);
        return box->icon != ICON_UNKNOWN;
    }, EDITOR_WAIT_MS);
    return true;
}

bool noMessageBoxFor(const EditorSession& session, int waitMs) {
    return pollUntil([&] { return findBox(session.process.dwProcessId) != nullptr; }, waitMs) == POLL_TIMED_OUT;
}

void answerMessageBox(const MessageBoxInfo& box, int buttonId) {
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    waitFor("the answered box to close", [&] { return !IsWindow(box.window); }, EDITOR_WAIT_MS);
}
