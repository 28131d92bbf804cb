#include "platform/AppError.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <tuple>

using namespace platform;

TEST(AppError, MapsFailedCallsToTheNumbersCallersReportAndDescribesThem)
{
    const std::tuple<int, bool, int> cases[] = {{ENOENT, false, 53}, {ENOENT, true, 76}, {ENOTDIR, false, 76},
                                                {EACCES, false, 70}, {EROFS, false, 75},  {ENOSPC, false, 61},
                                                {EDQUOT, false, 61}, {EIO, false, 57}};
    for (const auto& [code, folderExpected, number] : cases)
        EXPECT_EQ(errorFromErrno(code, folderExpected), number) << code;
    // Descriptions are the run-time wording; unknown numbers get the generic text.
    EXPECT_EQ(errorDescription(53), QStringLiteral("File not found"));
    EXPECT_EQ(errorDescription(76), QStringLiteral("Path not found"));
    EXPECT_EQ(errorDescription(32755), QStringLiteral("Cancel was selected."));
    EXPECT_EQ(errorDescription(1208), QStringLiteral("Application-defined or object-defined error"));
    EXPECT_EQ(makeError(61).description, QStringLiteral("Disk full"));
}
