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
    // Unknown numbers get the generic text (the known wording is checked where it is shown).
    EXPECT_EQ(errorDescription(1208), QStringLiteral("Application-defined or object-defined error"));
    EXPECT_EQ(makeError(61).description, QStringLiteral("Disk full"));
}
