#include "platform/AppError.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <tuple>
#include <utility>

using namespace platform;

TEST(AppError, MapsFailedCallsToTheNumbersCallersReportAndDescribesThem)
{
    const std::tuple<int, bool, int> cases[] = {{ENOENT, false, 53}, {ENOENT, true, 76}, {ENOTDIR, false, 76},
                                                {EACCES, false, 70}, {EROFS, false, 75},  {ENOSPC, false, 61},
                                                {EDQUOT, false, 61}, {EFBIG, false, 61}, {EIO, false, 57}};
    for (const auto& [code, folderExpected, number] : cases)
        EXPECT_EQ(errorFromErrno(code, folderExpected), number) << code;
    // Unknown numbers get the generic text (the known wording is checked where it is shown).
    EXPECT_EQ(errorDescription(1208), QStringLiteral("Application-defined or object-defined error"));
    EXPECT_EQ(makeError(61).description, QStringLiteral("Disk full"));
}

TEST(AppError, EachNumberHasItsOwnDescriptionAndItsNeighboursTheirs)
{
    const std::pair<int, const char*> rows[] = {
        {27, "Application-defined or object-defined error"}, {28, "Out of stack space"}, {55, "File already open"}, {56, "Application-defined or object-defined error"}, {57, "Device I/O error"},
        {58, "File already exists"}, {61, "Disk full"}, {70, "Permission denied"}, {75, "Path/File access error"},
        {76, "Path not found"}};
    for (const auto& [number, text] : rows) {
        EXPECT_EQ(errorDescription(number), QString::fromLatin1(text)) << number;
        EXPECT_EQ(makeError(number).description, QString::fromLatin1(text)) << number;
    }
    EXPECT_EQ(errorDescription(errorFromErrno(EIO)), QStringLiteral("Device I/O error"));
}

// The whole table, each number beside numbers just off it: a caller that
// raises a number shows exactly this text, and a neighbour never borrows it.
TEST(AppError, TheWholeTableOfDescriptionsAndTheWholeMapOfFailedCalls)
{
    const std::pair<int, const char*> table[] = {
        {3, "Return without GoSub"}, {5, "Invalid procedure call or argument"}, {6, "Overflow"},
        {7, "Out of memory"}, {9, "Subscript out of range"}, {11, "Division by zero"}, {13, "Type mismatch"},
        {28, "Out of stack space"}, {52, "Bad file name or number"}, {53, "File not found"},
        {54, "Bad file mode"}, {55, "File already open"}, {57, "Device I/O error"}, {58, "File already exists"},
        {61, "Disk full"}, {62, "Input past end of file"}, {67, "Too many files"}, {68, "Device unavailable"},
        {70, "Permission denied"}, {71, "Disk not ready"}, {74, "Can't rename with different drive"},
        {75, "Path/File access error"}, {76, "Path not found"},
        {91, "Object variable or With block variable not set"}, {380, "Invalid property value"},
        {482, "Printer error"},
        {484, "Problem getting printer information from the system. Make sure the printer is set up correctly."},
        {32755, "Cancel was selected."}, {35750, "Unable to complete the request"},
        {35751, "The address is not valid"}, {35754, "Unable to connect to remote host"},
        {35756, "The document is larger than allowed"}, {35761, "Request timed out"},
        {35601, "Element not found"}, {35602, "Key is not unique in collection"}};
    const QString generic = QStringLiteral("Application-defined or object-defined error");
    auto known = [&](int n) {
        return std::any_of(std::begin(table), std::end(table), [n](const auto& row) { return row.first == n; });
    };
    for (const auto& [number, text] : table) {
        EXPECT_EQ(errorDescription(number), QString::fromLatin1(text)) << number;
        for (const int neighbour : {number - 1, number + 1})
            if (!known(neighbour)) {
                EXPECT_EQ(errorDescription(neighbour), generic) << neighbour;
            }
    }
    EXPECT_EQ(errorDescription(0), generic);

    const std::tuple<int, bool, int> map[] = {
        {0, false, errNone}, {0, true, errNone}, {ENOENT, false, 53}, {ENOENT, true, 76}, {ENOTDIR, true, 76},
        {EACCES, true, 70}, {EPERM, false, 70}, {EROFS, false, 75}, {EISDIR, false, 75}, {ETXTBSY, false, 75},
        {EBUSY, false, 75}, {ENOSPC, true, 61}, {EIO, false, 57}, {ESTALE, false, 57}, {ENOTCONN, false, 57},
        {EHOSTDOWN, false, 57}, {EEXIST, false, 58}, {EMFILE, false, 67}, {ENFILE, false, 67},
        {ENOMEDIUM, false, 71}, {ENAMETOOLONG, false, 52}, {ENOMEM, false, 7}, {EINVAL, false, 57},
        {-1, false, 57}};
    for (const auto& [code, folderPart, number] : map)
        EXPECT_EQ(errorFromErrno(code, folderPart), number) << code << " " << folderPart;
}
