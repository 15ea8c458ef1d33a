#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "BoardGeometry.h"
#include "BoardTypes.h"
#include "NetworkLink.h"

class QRadioButton;

namespace kelvara {
class MainDialog;
class StartGameDialog;
class TableService;
}  // namespace kelvara

// The shortest game in which white takes four black pieces.
inline constexpr const char* kWhiteWins[] = {"12R", "13D", "31U", "14D", "21L",
                                             "43L", "42U", "13R", "41U", "23L"};

// Settings with the pictures and no listening, for windows that need no network.
inline const std::string kQuietSettings =
    "[BG]\r\nmainbg=res/background.png\r\nchessman_black=res/black.png\r\n"
    "chessman_white=res/white.png\r\n[NET]\r\nlisten=no\r\n";

// A peer link that sends nothing; the test sets what each channel reports.
struct FakeLink : kelvara::NetworkLink {
    std::array<kelvara::ChannelStatus, 6> channels{};
    void AttachPeer(int slot) override { channels[slot] = kelvara::ChannelStatus{}; }
    void SendHello(int, const std::string&) override {}
    void SendMove(int, const kelvara::MoveRecord&) override {}
    kelvara::ChannelStatus Channel(int slot) const override { return channels[slot]; }
    void SetChannel(int slot, const kelvara::ChannelStatus& status) override {
        channels[slot] = status;
    }
};

// One solved table for every window of the process, solved at the first call.
kelvara::TableService& Solved();

// Every GUI test runs in a fresh working directory holding copies of set/ and res/.
class GuiFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file of the working directory (raw bytes).
    void WriteFile(const QString& relativePath, const std::string& bytes);
    void RemoveFile(const QString& relativePath);

    // A window initialised, shown and exposed. `animationMs` is the length of a step's slide;
    // `table` the solved table's service (none: the window makes its own on first need).
    static std::unique_ptr<kelvara::MainDialog> OpenWindow(int animationMs = 0,
                                                           kelvara::TableService* table = nullptr);

    // 开始 from the menu: the start dialog gets the kind of `radio` and the names (black and
    // white for two players, the local player's name otherwise when given), then OK.
    using KindRadio = QRadioButton* (kelvara::StartGameDialog::*)() const;
    static void StartFromMenu(kelvara::MainDialog& window, KindRadio radio,
                              const QString& black = {}, const QString& white = {});

    // Press on the piece, move in a few steps, release on the target; then the slide of the
    // answer, if any, runs to its end.
    static void Drag(kelvara::MainDialog& window, QPoint from, QPoint to);
    static void PlayByMouse(kelvara::MainDialog& window, const kelvara::MoveRecord& move);
    static void PlayByMouse(kelvara::MainDialog& window, const char* moveText);

    QTemporaryDir dir_;
    QString previousDir_;
    QByteArray previousHome_;
};

// What a message box showed.
struct SeenBox {
    bool shown = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs `handler` on the active modal widget as soon as there is one it accepts (it returns
// true when it handled the widget). Polls from the event loop, so it also works inside exec().
void WhenModal(std::function<bool(QWidget*)> handler);
// Records the next message box and presses its OK button.
void CloseNextMessageBox(SeenBox* seen);

// The piece square of a point as a QRect, and its centre.
QRect Square(int column, int row);
QPoint Centre(int column, int row);

// Pixel comparisons of the window's canvas.
bool ShowsBackground(const QImage& canvas, const QRect& rect, const QImage& background);
bool ShowsPicture(const QImage& canvas, const QRect& rect, const QImage& picture);
bool ShowsColour(const QImage& canvas, const QRect& rect, QRgb colour);

QImage LoadRgb(const QString& path);
