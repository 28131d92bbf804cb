#pragma once
// Errors are carried as the original run time's numbers (callers raise them
// again by number, and the error report shows the number and its English
// description). 0 always means success.

#include <QString>

namespace platform {

enum ErrorNumber : int {
    errNone = 0,
    errInvalidCall = 5,          // Invalid procedure call or argument
    errOverflow = 6,
    errOutOfMemory = 7,
    errSubscript = 9,
    errTypeMismatch = 13,
    errBadFileName = 52,
    errFileNotFound = 53,
    errFileAlreadyOpen = 55,
    errDeviceIO = 57,
    errFileExists = 58,
    errDiskFull = 61,
    errInputPastEnd = 62,
    errTooManyFiles = 67,
    errDeviceUnavailable = 68,
    errPermissionDenied = 70,
    errDiskNotReady = 71,
    errPathFileAccess = 75,
    errPathNotFound = 76,
    errPrinter = 482,
    errCancelSelected = 32755,
    // The update check's transfer errors (the transfer control's own range).
    errInetRequestFailed = 35750,
    errInetBadAddress = 35751,
    errInetCannotConnect = 35754,
    errInetTooLarge = 35756,
    errInetTimeout = 35761,
    errElementNotFound = 35601,
    errKeyNotUnique = 35602,
};

// An error raised by number. Thrown where a routine of the program would
// raise; caught by the step-wise error trap of the windows.
struct AppError {
    int number = 0;
    QString description;
};

// The English description of an error number ("Application-defined or
// object-defined error" for numbers the table does not know).
QString errorDescription(int number);

// An AppError with the table's description.
AppError makeError(int number);

// Maps a failed system call's errno to an error number. `folderPart` says the
// failing name was (or lay under) a folder that does not exist, which turns
// ENOENT into 76 (Path not found) instead of 53 (File not found).
int errorFromErrno(int err, bool folderPart = false);

} // namespace platform
