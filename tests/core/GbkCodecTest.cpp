#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "GbkCodec.h"

using kelvara::GbkCodec;

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

struct DecodeCase {
    const char* name;
    std::string gbk;
    std::string utf8;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class GbkDecode : public ::testing::TestWithParam<DecodeCase> {};

struct EncodeCase {
    const char* name;
    std::string utf8;
    std::optional<std::string> strict;
    std::string lossy;
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.name;
}

class GbkEncode : public ::testing::TestWithParam<EncodeCase> {};

template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

}  // namespace

TEST_P(GbkDecode, GivesUtf8) {
    EXPECT_EQ(GbkCodec::GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, GbkDecode,
    ::testing::Values(
        DecodeCase{"Empty", "", ""}, DecodeCase{"Ascii", "ab 1", "ab 1"},
        DecodeCase{"DoubleByte", "\xd5\xc5\xc8\xfd", "张三"}, DecodeCase{"EuroSign", "\x80", "€"},
        DecodeCase{"ZeroPasses", std::string("\xd5\xc5\0\xc8\xfd", 5), std::string("张\0三", 7)},
        // A text cut after a lead byte ends before that character.
        DecodeCase{"CutLead", "a\xd5", "a"}, DecodeCase{"OnlyALead", "\xd5", ""},
        // A lead byte whose next byte cannot follow it is one bad byte; the next stands alone.
        DecodeCase{"LeadThenDigit",
                   "\x81"
                   "0",
                   kFffd + "0"},
        DecodeCase{"LeadThenDel", "\xa1\x7f", kFffd + "\x7f"},
        DecodeCase{"ByteFF",
                   "\xff"
                   "a",
                   kFffd + "a"},
        // A pair in the right ranges that names no character is one bad character.
        DecodeCase{"UnassignedPair",
                   "\xaa\xa1"
                   "b",
                   kFffd + "b"}),
    CaseName<DecodeCase>);

TEST_P(GbkEncode, StrictAndLossy) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(GbkCodec::Utf8ToGbk(c.utf8), c.strict);
    EXPECT_EQ(GbkCodec::Utf8ToGbkLossy(c.utf8), c.lossy);
    EXPECT_EQ(GbkCodec::GbkLength(c.utf8), c.lossy.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GbkEncode,
    ::testing::Values(EncodeCase{"Empty", "", "", ""},
                      EncodeCase{"Mixed", "张三 ab", "\xd5\xc5\xc8\xfd ab", "\xd5\xc5\xc8\xfd ab"},
                      EncodeCase{"Ellipsis", "……", "\xa1\xad\xa1\xad", "\xa1\xad\xa1\xad"},
                      EncodeCase{"EuroSign", "€", "\x80", "\x80"},
                      EncodeCase{"Emoji", "a😀b", std::nullopt, "a?b"},
                      // Invisible marks that GBK cannot hold are left out of the lossy form.
                      EncodeCase{"ZeroWidthJoiner", "a\u200db", std::nullopt, "ab"},
                      EncodeCase{"InvalidUtf8", "a\xff", std::nullopt, "a?"},
                      EncodeCase{"CutUtf8", "\xe4\xb8", std::nullopt, "??"},
                      EncodeCase{"Surrogate", "\xed\xa0\x80", std::nullopt, "???"}),
    CaseName<EncodeCase>);

TEST(GbkCodec, AvailableLengthAndFit) {
    EXPECT_TRUE(GbkCodec::Available());
    EXPECT_EQ(GbkCodec::GbkLength("对不起，我现在很忙."), 19u);
    EXPECT_EQ(GbkCodec::FitToGbk("张😀三"), "张?三");
    EXPECT_EQ(GbkCodec::FitToGbk("张三"), "张三");
}

// Texts longer than one conversion buffer, with a bad spot far inside.
TEST(GbkCodec, LongTextsKeepEveryCharacter) {
    std::string utf8, gbk;
    for (int i = 0; i < 2000; ++i) {
        utf8 += "中a";
        gbk +=
            "\xd6\xd0"
            "a";
    }
    EXPECT_EQ(GbkCodec::Utf8ToGbk(utf8), gbk);
    EXPECT_EQ(GbkCodec::GbkToUtf8(gbk), utf8);

    const std::string badUtf8 = utf8 + "😀" + utf8;
    EXPECT_EQ(GbkCodec::Utf8ToGbkLossy(badUtf8), gbk + "?" + gbk);
    EXPECT_EQ(GbkCodec::GbkToUtf8(gbk + "\xff" + gbk), utf8 + kFffd + utf8);
}
