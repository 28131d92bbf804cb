#include "platform/TextDecoding.h"

#include "shared/qstring_print.h"

#include <gtest/gtest.h>

using namespace platform;

// Every byte of the Greek code page as Windows itself maps it, the five it
// leaves undefined as the replacement character; below 0x80 each byte is
// its ASCII character.
TEST(TextDecoding, EveryByteOfTheGreekCodePageIsItsOwnCharacter)
{
    const QString high = QString::fromUtf16(
        u"\u20AC\uFFFD\u201A\u0192\u201E\u2026\u2020\u2021\uFFFD\u2030\uFFFD\u2039\uFFFD\uFFFD\uFFFD\uFFFD"
        u"\uFFFD\u2018\u2019\u201C\u201D\u2022\u2013\u2014\uFFFD\u2122\uFFFD\u203A\uFFFD\uFFFD\uFFFD\uFFFD"
        u"\u00A0\u0385\u0386\u00A3\u00A4\u00A5\u00A6\u00A7\u00A8\u00A9\uFFFD\u00AB\u00AC\u00AD\u00AE\u2015"
        u"\u00B0\u00B1\u00B2\u00B3\u0384\u00B5\u00B6\u00B7\u0388\u0389\u038A\u00BB\u038C\u00BD\u038E\u038F"
        u"\u0390\u0391\u0392\u0393\u0394\u0395\u0396\u0397\u0398\u0399\u039A\u039B\u039C\u039D\u039E\u039F"
        u"\u03A0\u03A1\uFFFD\u03A3\u03A4\u03A5\u03A6\u03A7\u03A8\u03A9\u03AA\u03AB\u03AC\u03AD\u03AE\u03AF"
        u"\u03B0\u03B1\u03B2\u03B3\u03B4\u03B5\u03B6\u03B7\u03B8\u03B9\u03BA\u03BB\u03BC\u03BD\u03BE\u03BF"
        u"\u03C0\u03C1\u03C2\u03C3\u03C4\u03C5\u03C6\u03C7\u03C8\u03C9\u03CA\u03CB\u03CC\u03CD\u03CE\uFFFD");
    ASSERT_EQ(high.size(), 128);
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        const QString expected = b < 0x80 ? QString(QChar(char16_t(b))) : QString(high[b - 0x80]);
        EXPECT_EQ(decodeWindows1253(one), expected) << b;
    }
    EXPECT_EQ(decodeWindows1253("\xc5\xeb\xeb\xe7\xed\xe9\xea\xdc and more"), QString::fromUtf8("Ελληνικά and more"));
    EXPECT_EQ(decodeWindows1253(QByteArray()), QString());
}

// Text that is UTF-8 throughout is read as UTF-8; anything else, even one
// stray byte, as the Greek code page.
TEST(TextDecoding, UtfEightThroughoutOrElseTheGreekCodePage)
{
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8(QByteArray()));
    EXPECT_TRUE(isValidUtf8("\xce\x9d\xce\xad\xce\xb1"));
    EXPECT_FALSE(isValidUtf8("\xce\x9d\xce"));
    EXPECT_FALSE(isValidUtf8("ok \xe1"));
    EXPECT_FALSE(isValidUtf8("\xc0\x80"));
    EXPECT_EQ(decodeText("\xce\x9d\xce\xad\xce\xb1"), QString::fromUtf8("Νέα"));
    EXPECT_EQ(decodeText("\xcd\xdd\xe1"), QString::fromUtf8("Νέα"));
    EXPECT_EQ(decodeText("\xce\x9d\xce\xad\xce\xb1 \xe1"), QString::fromUtf8("Ξ\uFFFDΞ­Ξ± α"));
    EXPECT_EQ(decodeText("a\r\nb"), QStringLiteral("a\r\nb"));
}
