#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>

#include "GameAnalysis.h"
#include "GuiFixture.h"
#include "HintText.h"
#include "InterfaceLanguage.h"
#include "MainDialog.h"
#include "ScoreDialog.h"
#include "ScoreKeeper.h"
#include "StartGameDialog.h"

using namespace kelvara;

namespace {

// What a window shows in the language that LANG and the settings file ask for.
struct Shown {
    QStringList menus;
    QString match;
    QString status;
    QString yesButton;
    QString level;
    QStringList scoreLabels;
    std::string winIn1;
    std::string winIn3;
};

class InterfaceLanguageTest : public GuiFixture {
  protected:
    Shown OpenIn(const char* lang) {
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", lang);
        InterfaceLanguage language;
        language.Install(InterfaceLanguage::Wanted("set/kelvara.ini"));
        Shown shown;
        auto window = OpenWindow();
        for (QAction* menu : window->Menu()->actions()) shown.menus << menu->text();
        shown.level = window->findChild<QAction*>("actionLevelPerfect")->text();
        window->findChild<QAction*>("actionLevelPerfect")->trigger();
        StartFromMenu(*window, &StartGameDialog::OnePlayerRadio, "甲");
        shown.match = window->findChild<QLabel*>("matchLine")->text();
        window->findChild<QAction*>("actionStop")->trigger();
        StartFromMenu(*window, &StartGameDialog::TwoPlayersRadio, "甲", "乙");
        shown.status = window->StatusLabel()->toolTip();
        QMessageBox box(QMessageBox::Question, QStringLiteral("?"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        shown.yesButton = box.button(QMessageBox::Yes)->text();
        // The score names the levels in the same language as the menu.
        ScoreKeeper keeper(QStringLiteral("score"));
        ScoreDialog score(keeper);
        for (const QLabel* label : score.findChildren<QLabel*>())
            shown.scoreLabels << label->text();
        // The plain floor's counted texts, one form for each count.
        StepOutcome hint{{2, 1, Up}, PositionValue::Win(1)};
        shown.winIn1 = HintText::Hint(hint);
        hint.value = PositionValue::Win(5);
        shown.winIn3 = HintText::Hint(hint);
        return shown;
    }
};

const QStringList kChineseMenus = {"游戏(&G)", "编辑(&E)", "难度(&D)",
                                   "练习(&P)", "帮助(&H)", "关于(&A)"};

TEST_F(InterfaceLanguageTest, EnglishLocaleShowsEnglish) {
    const Shown shown = OpenIn("en_US.UTF-8");
    EXPECT_EQ(shown.menus,
              QStringList({"&Game", "&Edit", "&Difficulty", "&Practice", "&Help", "&About"}));
    EXPECT_EQ(shown.level, "Perfect");
    EXPECT_TRUE(shown.scoreLabels.contains("Against the computer (Perfect)"));
    // The session's texts, composed in the plain floor, follow too, names put in whole.
    EXPECT_EQ(shown.status, "Now 甲 (black)  to move...");
    EXPECT_EQ(shown.match, "Match:   甲 (black)   VS   Computer, Perfect (white)");
    EXPECT_EQ(shown.winIn1, "Hint: 21U, a sure win (1 more step)");
    EXPECT_EQ(shown.winIn3, "Hint: 21U, a sure win (3 more steps)");
    EXPECT_EQ(QString(shown.yesButton).remove(QLatin1Char('&')), "Yes");
}

TEST_F(InterfaceLanguageTest, CAndChineseLocalesShowTheDesignedTexts) {
    for (const char* lang : {"C", "zh_CN.UTF-8", "de_DE.UTF-8"}) {
        const Shown shown = OpenIn(lang);
        EXPECT_EQ(shown.menus, kChineseMenus) << lang;
        EXPECT_EQ(shown.level, "完美") << lang;
        EXPECT_TRUE(shown.scoreLabels.contains("人机对弈（完美）")) << lang;
        EXPECT_EQ(shown.status, "现在是 甲(黑)  走棋...") << lang;
        EXPECT_EQ(shown.match, "战局：   甲(黑)   VS   电脑（完美）(白)") << lang;
        EXPECT_TRUE(shown.yesButton.startsWith("是")) << lang;
        EXPECT_EQ(shown.winIn3, "提示：21U，必胜（还需 3 步）") << lang;
    }
}

TEST_F(InterfaceLanguageTest, SettingOverridesTheLocale) {
    WriteFile("set/kelvara.ini",
              "[BG]\nmainbg=res/background.png\nchessman_black=res/black.png\n"
              "chessman_white=res/white.png\n[UI]\nlanguage=zh\n");
    EXPECT_EQ(OpenIn("en_US.UTF-8").menus, kChineseMenus);
    WriteFile("set/kelvara.ini",
              "[BG]\nmainbg=res/background.png\nchessman_black=res/black.png\n"
              "chessman_white=res/white.png\n[UI]\nlanguage=en\n");
    EXPECT_EQ(OpenIn("C").menus.first(), "&Game");
}

}  // namespace
