#include "GuiFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "Board.h"
#include "BoardCanvas.h"
#include "BoardText.h"
#include "MainDialog.h"
#include "StartGameDialog.h"
#include "TableService.h"

using namespace kelvara;

namespace {

void CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), QDir(to).filePath(name));
}

}  // namespace

void GuiFixture::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    CopyFolder(QStringLiteral(KELVARA_SOURCE_DIR "/set"), dir_.filePath(QStringLiteral("set")));
    CopyFolder(QStringLiteral(KELVARA_SOURCE_DIR "/res"), dir_.filePath(QStringLiteral("res")));
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    // Finished games are kept under the user's data folder: one of this test's own.
    QStandardPaths::setTestModeEnabled(true);
    previousHome_ = qgetenv("HOME");
    qputenv("HOME", dir_.path().toLocal8Bit());
}

TableService& Solved() {
    static TableService* service = [] {
        auto* s = new TableService(2);
        s->Wait();
        return s;
    }();
    return *service;
}

std::unique_ptr<MainDialog> GuiFixture::OpenWindow(int animationMs, TableService* table) {
    auto window = std::make_unique<MainDialog>();
    if (table != nullptr) window->SetTableService(table);
    EXPECT_TRUE(window->Initialise());
    window->SetAnimationMilliseconds(animationMs);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

void GuiFixture::StartFromMenu(MainDialog& window, KindRadio radio, const QString& black,
                               const QString& white) {
    // A game under way is given up only after a question, answered here with 是.
    const bool asks = window.Session().GameRunning() && window.Session().SideToMove() != Empty &&
                      !window.Session().History().empty();
    if (asks) {
        WhenModal([](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) return false;
            box->button(QMessageBox::Yes)->click();
            return true;
        });
    }
    WhenModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<StartGameDialog*>(modal);
        if (dialog == nullptr) return false;
        (dialog->*radio)()->click();
        if (radio == &StartGameDialog::TwoPlayersRadio) {
            dialog->BlackNameCombo()->setEditText(black);
            dialog->WhiteNameCombo()->setEditText(white);
        } else if (!black.isEmpty()) {
            dialog->OnePlayerNameCombo()->setEditText(black);
        }
        dialog->OkButton()->click();
        return true;
    });
    window.findChild<QAction*>("actionStart")->trigger();
}

void GuiFixture::Drag(MainDialog& window, QPoint from, QPoint to) {
    QWidget* canvas = window.Canvas();
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    for (int k = 1; k <= 3; ++k) QTest::mouseMove(canvas, from + (to - from) * k / 3);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.Session().Phase() != TurnPhase::Animating; }, 20000));
}

void GuiFixture::PlayByMouse(MainDialog& window, const MoveRecord& move) {
    int toX = 0, toY = 0;
    ASSERT_TRUE(StepTarget(move.fromX, move.fromY, move.direction, toX, toY));
    Drag(window, Centre(move.fromX, move.fromY), Centre(toX, toY));
}

void GuiFixture::PlayByMouse(MainDialog& window, const char* moveText) {
    MoveRecord move;
    ASSERT_TRUE(ParseMoveText(moveText, move)) << moveText;
    PlayByMouse(window, move);
}

void GuiFixture::TearDown() {
    QDir::setCurrent(previousDir_);
    qputenv("HOME", previousHome_);
}

void GuiFixture::WriteFile(const QString& relativePath, const std::string& bytes) {
    QFile file(dir_.filePath(relativePath));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void GuiFixture::RemoveFile(const QString& relativePath) {
    ASSERT_TRUE(QFile::remove(dir_.filePath(relativePath)));
}

void WhenModal(std::function<bool(QWidget*)> handler) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, handler] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal->isVisible()) {
            timer->stop();
            if (handler(modal)) {
                timer->deleteLater();
                return;
            }
            timer->start();
        }
        if (++*tries > 1000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window came up";
        }
    });
    timer->start(5);
}

void CloseNextMessageBox(SeenBox* seen) {
    WhenModal([seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) return false;
        seen->shown = true;
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        box->button(QMessageBox::Ok)->click();
        return true;
    });
}

QRect Square(int column, int row) {
    const kelvara::PixelRect r = kelvara::geometry::PieceSquare(column, row);
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QPoint Centre(int column, int row) {
    return Square(column, row).center();
}

bool ShowsBackground(const QImage& canvas, const QRect& rect, const QImage& background) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (canvas.pixel(x, y) !=
                background.pixel(x % background.width(), y % background.height()))
                return false;
    return true;
}

bool ShowsPicture(const QImage& canvas, const QRect& rect, const QImage& picture) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (canvas.pixel(x, y) != picture.pixel(x - rect.left(), y - rect.top())) return false;
    return true;
}

bool ShowsColour(const QImage& canvas, const QRect& rect, QRgb colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (canvas.pixel(x, y) != colour) return false;
    return true;
}

QImage LoadRgb(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}
