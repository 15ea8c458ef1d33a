#include <gtest/gtest.h>

#include <string>

#include "Translation.h"

namespace kelvara {
namespace {

TEST(TranslationTest, FillPutsArgumentsInOnce) {
    struct Case {
        const char* pattern;
        std::string expected;
    } cases[] = {
        {"战局：   %1(黑)   VS   %2(白)", "战局：   甲(黑)   VS   %1(白)"},  // a name holding %1
        {"%2 then %1", "%1 then 甲"},
        {"%3 stays", "%3 stays"},  // no third argument
        {"100% 完美 %", "100% 完美 %"},
        {"%1%1", "甲甲"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Translation::Fill(c.pattern, {"甲", "%1"}), c.expected) << c.pattern;
}

std::string Shout(const char* context, const char* text, int count) {
    return std::string(context) + ":" + text + ":" + std::to_string(count);
}

TEST(TranslationTest, TextGoesThroughTheInstalledFunction) {
    // Without a function the text is the source, its %n the count.
    EXPECT_EQ(Translation::Text("HintText", "还需 %n 步，共 %n 步", 12), "还需 12 步，共 12 步");
    EXPECT_EQ(Translation::Text("HintText", "还需 %n 步"), "还需 %n 步");
    Translation::Install(&Shout);
    EXPECT_EQ(Translation::Text("GameSession", "和", 3), "GameSession:和:3");
    Translation::Install(nullptr);
    EXPECT_EQ(Translation::Text("GameSession", "和"), "和");
}

}  // namespace
}  // namespace kelvara
