#include "platform/AppError.h"

#include <gtest/gtest.h>
#include <cerrno>

using namespace platform;

TEST(AppError, MapsFailedCallsToTheNumbersCallersReportByNumber)
{
    EXPECT_EQ(errorFromErrno(ENOENT), 53);
    EXPECT_EQ(errorFromErrno(ENOENT, true), 76);
    EXPECT_EQ(errorFromErrno(ENOTDIR), 76);
    EXPECT_EQ(errorFromErrno(EACCES), 70);
    EXPECT_EQ(errorFromErrno(EROFS), 75);
    EXPECT_EQ(errorFromErrno(ENOSPC), 61);
    EXPECT_EQ(errorFromErrno(EDQUOT), 61);
    EXPECT_EQ(errorFromErrno(EIO), 57);
}

TEST(AppError, DescriptionsAreTheRunTimeWordingAndUnknownNumbersGetTheGenericText)
{
    EXPECT_EQ(errorDescription(53), QStringLiteral("File not found"));
    EXPECT_EQ(errorDescription(76), QStringLiteral("Path not found"));
    EXPECT_EQ(errorDescription(32755), QStringLiteral("Cancel was selected."));
    EXPECT_EQ(errorDescription(1208), QStringLiteral("Application-defined or object-defined error"));
    EXPECT_EQ(makeError(61).description, QStringLiteral("Disk full"));
}
