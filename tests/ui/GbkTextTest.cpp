#include <gtest/gtest.h>

#include "GbkText.h"

using kelvara::GbkText;

TEST(GbkText, RoundTripStopsAtZeroAndFlagsUnencodable) {
    ASSERT_TRUE(GbkText::Available());
    const std::string zhang = "\xd5\xc5\xc8\xfd";  // 张三
    EXPECT_EQ(GbkText::ToQString(zhang), QString::fromUtf8("张三"));
    EXPECT_EQ(GbkText::ToQString(zhang + std::string("\0tail", 5)), QString::fromUtf8("张三"));
    bool ok = false;
    EXPECT_EQ(GbkText::FromQString(QString::fromUtf8("张三 ab"), &ok), zhang + " ab");
    EXPECT_TRUE(ok);
    GbkText::FromQString(QString::fromUtf8("😀"), &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GbkText::ByteLength(QString::fromUtf8("对不起，我现在很忙.")), 19);
    // A cut-off lead byte does not corrupt the next field.
    EXPECT_LE(GbkText::ToQString("\xd5").size(), 1);
    EXPECT_EQ(GbkText::ToQString("ab"), QString("ab"));
}
