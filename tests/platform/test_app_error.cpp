#include "platform/AppError.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <tuple>
#include <utility>

using namespace platform;

TEST(AppError, MapsFailedCallsToTheNumbersCallersReportAndDescribesThem)
{
    const std::tuple<int, bool, int> cases[] = {{ENOENT, false, 53}, {ENOENT, true, 76}, {ENOTDIR, false, 76},
                                                {EACCES, false, 70}, {EROFS, false, 75},  {ENOSPC, false, 61},
                                                {EDQUOT, false, 61}, {EIO, false, 57}};
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
