#include "platform/AppError.h"

#include <cerrno>

namespace platform {

QString errorDescription(int number)
{
    switch (number) {
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 28: return QStringLiteral("Out of stack space");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 57: return QStringLiteral("Device I/O error");
    case 58: return QStringLiteral("File already exists");
    case 61: return QStringLiteral("Disk full");
    case 62: return QStringLiteral("Input past end of file");
    case 67: return QStringLiteral("Too many files");
    case 68: return QStringLiteral("Device unavailable");
    case 70: return QStringLiteral("Permission denied");
    case 71: return QStringLiteral("Disk not ready");
    case 74: return QStringLiteral("Can't rename with different drive");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 380: return QStringLiteral("Invalid property value");
    case 482: return QStringLiteral("Printer error");
    case 484: return QStringLiteral("Problem getting printer information from the system. Make sure the printer is set up correctly.");
    case 32755: return QStringLiteral("Cancel was selected.");
    case 35750: return QStringLiteral("Unable to complete the request");
    case 35751: return QStringLiteral("The address is not valid");
    case 35754: return QStringLiteral("Unable to connect to remote host");
    case 35756: return QStringLiteral("The document is larger than allowed");
    case 35761: return QStringLiteral("Request timed out");
    case 35601: return QStringLiteral("Element not found");
    case 35602: return QStringLiteral("Key is not unique in collection");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

AppError makeError(int number)
{
    return AppError{number, errorDescription(number)};
}

int errorFromErrno(int err, bool folderPart)
{
    switch (err) {
    case 0: return errNone;
    case ENOENT: return folderPart ? errPathNotFound : errFileNotFound;
    case ENOTDIR: return errPathNotFound;
    case EACCES:
    case EPERM: return errPermissionDenied;
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY: return errPathFileAccess;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return errDiskFull;   // a file-size limit (ulimit -f): no more room for this file
    case EIO:
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN: return errDeviceIO;
    case EEXIST: return errFileExists;
    case EMFILE:
    case ENFILE: return errTooManyFiles;
    case ENOMEDIUM: return errDiskNotReady;
    case ENAMETOOLONG: return errBadFileName;
    case ENOMEM: return errOutOfMemory;
    default: return errDeviceIO;
    }
}

} // namespace platform
