#include "GuiFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

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
}

void GuiFixture::TearDown() {
    QDir::setCurrent(previousDir_);
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
