#include "editorState.h"

EditorState editorState = {nullptr, "", "", "", 10, "", nullptr, 0, 0, nullptr};
