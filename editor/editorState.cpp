#include "editorState.h"

EditorState editorState = {nullptr, "", "", "", 10, "", nullptr, 0, 0, nullptr};

const char* const PROGRAM_CAPTION = "zarnoGlotWriteW";
const char* const EDITOR_VERSION = "26.260";
