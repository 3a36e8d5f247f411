// Drive T:, where the editor keeps its log, made on demand by the start
// program zarnoGlotStart: a drive letter mapped to a per-user folder until
// the user signs out, as "subst" maps one.
#pragma once

#include <windows.h>

// The drive the editor's log is written to.
constexpr const wchar_t* LOG_DRIVE = L"T:";

// What prepareDrive found or did.
enum DrivePreparation {
    DRIVE_PRESENT,          // the drive's top folder can be reached: nothing was done
    DRIVE_MAPPED,           // the drive now maps to the folder
    DRIVE_FOLDER_FAILED,    // the folder could not be made
    DRIVE_MAPPING_FAILED,   // the platform refused the mapping
};

// Makes sure the drive (such as L"T:") can be reached: when its top folder
// cannot be, the folder (made first when missing) becomes the drive for the
// rest of the user's session.
DrivePreparation prepareDrive(const wchar_t* drive, const wchar_t* folder);

// The per-user folder that drive T: maps to: ZarnoGlot\DriveT in the user's
// local application data folder (made when missing, as far as it goes).
// False when that folder is not known or the path would be too long.
bool perUserDriveFolder(wchar_t folder[MAX_PATH]);

// Builds into result (of resultUnits units) the command line that starts the
// program at programPath with the arguments of commandLine: everything after
// its first word, the name it was started by. False when it does not fit.
bool forwardedCommandLine(const wchar_t* commandLine, const wchar_t* programPath, wchar_t* result,
                          size_t resultUnits);
