// Commands whose real versions are not built yet: each only says so.
// A command's real version replaces its function here.
#include "commands.h"

int file_new(HWND owner) {
    showInformation(owner, "New - not yet implemented.");
    return 0;
}

int file_open(HWND owner) {
    showInformation(owner, "Open - not yet implemented.");
    return 0;
}

int file_save(HWND owner) {
    showInformation(owner, "Save - not yet implemented.");
    return 0;
}

int file_save_as(HWND owner) {
    showInformation(owner, "Save As - not yet implemented.");
    return 0;
}

int select_vcb(HWND owner) {
    showInformation(owner, "Select Vocabulary - not yet implemented.");
    return 0;
}

int select_font(HWND owner) {
    showInformation(owner, "Select font - not yet implemented.");
    return 0;
}

int select_data_dir(HWND owner) {
    showInformation(owner, "Select data directory - not yet implemented.");
    return 0;
}
