// The configuration file "zarnoGlotWriteW.ini" beside the program: three
// lines holding the vocabulary name, the data directory and the font as
// "face,size". The parsing and formatting work on text only; the file
// operations at the end move the settings between the file and editorState.
#pragma once

#include "editorState.h"

constexpr const char* CONFIGURATION_FILE_NAME = "zarnoGlotWriteW.ini";

constexpr int DEFAULT_FONT_POINT_SIZE = 10;

struct Configuration {
    char vocabularyName[NAME_SIZE];
    char dataDirectory[PATH_SIZE];
    char fontFace[NAME_SIZE];
    int fontPointSize;
};

// Reads the three lines from the configuration's text. A line of CR LF or LF
// ends at its first CR or LF; a line longer than its setting's room gives
// the setting its first characters and the rest is read as the next line.
// Settings whose line is missing keep the values they had in settings.
void parseConfiguration(const char* text, int length, Configuration* settings);

// Splits a font line at its last comma: the face before it, the size after
// it read as atoi reads; a line without a comma is all face and size 10.
void splitFontLine(char* line, int* pointSize);

// atoi's reading of a number: leading blanks, a sign, digits up to the first
// other character; no digits give 0, values out of range are clamped.
int parseLeadingInteger(const char* text);

// Formats the three lines, each ended by "\n". Returns the length, or -1
// when the text does not fit in size bytes with its terminator.
int formatConfiguration(const Configuration& settings, char* text, int size);

// Cuts a program's full path down to its folder: at the last backslash, else
// at the last colon, else to the empty string.
void cutToFolder(char* path);

// Makes the program's own folder the current directory. False when it
// cannot, with the platform's error code in *error.
bool setWorkingDirectory(unsigned long* error);
// Reads the configuration from the current directory into editorState;
// false when the file cannot be opened.
bool readConfiguration();
// Writes editorState's settings back; only logs when the file cannot be opened.
void writeConfiguration();
