// The configuration file "zarnoGlotWriteW.ini" beside the program: three
// lines holding the vocabulary name, the data directory and the font as
// "face,size", in UTF-8. The parsing and formatting work on text only; the
// file operations at the end move the settings between the file and
// editorState, whose settings are UTF-16.
#pragma once

#include "editorState.h"

constexpr const char* CONFIGURATION_FILE_NAME = "zarnoGlotWriteW.ini";
constexpr const wchar_t* CONFIGURATION_FILE_WIDE_NAME = L"zarnoGlotWriteW.ini";

constexpr int DEFAULT_FONT_POINT_SIZE = 10;

// Room for a setting's line in the file, terminator included: its UTF-16
// units in UTF-8 (three bytes a unit at most).
constexpr int NAME_LINE_BYTES = NAME_SIZE * 3;
constexpr int PATH_LINE_BYTES = PATH_UNITS * 3;

// The three settings as the file's lines hold them: UTF-8, or the system's
// code page in a file edited by hand.
struct Configuration {
    char vocabularyName[NAME_LINE_BYTES];
    char dataDirectory[PATH_LINE_BYTES];
    char fontFace[NAME_LINE_BYTES];
    int fontPointSize;
};

// Reads the three lines from the configuration's text, after a UTF-8
// byte-order mark if there is one. A line of CR LF or LF ends at its first
// CR or LF; a line longer than its setting's room (63 UTF-16 units for the
// names and the font line, 259 for the folder) gives the setting its first
// characters and the rest is read as the next line. Settings whose line is
// missing keep the values they had in settings.
void parseConfiguration(const char* text, int length, Configuration* settings);

// Splits a font line at its last comma: the face before it, the size after
// it read as atoi reads; a line without a comma is all face and size 10.
void splitFontLine(char* line, int* pointSize);

// atoi's reading of a number: leading blanks, a sign, digits up to the first
// other character; no digits give 0, values out of range are clamped.
int parseLeadingInteger(const char* text);

// Formats the three lines, each ended by "\n" (after a byte-order mark only
// when the first setting begins with U+FEFF). Returns the length, or -1 when
// the text does not fit in size bytes with its terminator.
int formatConfiguration(const Configuration& settings, char* text, int size);

// Cuts a program's full path down to its folder: at the last backslash, else
// at the last colon, else to the empty string.
void cutToFolder(wchar_t* path);

// A setting's line as UTF-16 in units units: UTF-8, or for a line that is
// not UTF-8 (edited by hand in the system's code page) the code page; cut to
// fit, never inside a surrogate pair.
void settingOfLine(const char* line, wchar_t* setting, int units);

// Makes the program's own folder the current directory. False when it
// cannot, with the platform's error code in *error.
bool setWorkingDirectory(unsigned long* error);
// Reads the configuration from the current directory into editorState;
// false when the file cannot be opened.
bool readConfiguration();
// Writes editorState's settings back, through a new file that then replaces
// the old one; only logs when the file cannot be written.
void writeConfiguration();

// Copies length bytes of text with a CR before every LF into converted, of
// size bytes, terminated; returns the new length, or -1 when it does not fit.
int withCrLf(const char* text, int length, char* converted, int size);
