#include "editorState.h"

EditorState editorState = {nullptr, L"", L"", L"", 10, L"", {false, 0, 0}, nullptr, 0, 0, nullptr, ENCODING_UTF8};
