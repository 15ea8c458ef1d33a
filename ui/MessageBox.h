#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace kelvara {

// The program's modal message boxes: fixed texts and captions, one OK button or Yes and No.
class MessageBox {
    Q_DECLARE_TR_FUNCTIONS(kelvara::MessageBox)

  public:
    // The program's title, the caption of its untitled message boxes.
    static QString ProgramTitle() { return tr("六子棋"); }
    // Caption of the network messages.
    static QString NetCaption() { return QStringLiteral("KELVARA"); }
    // Caption of the listener's failed replies.
    static QString ListenCaption() { return tr("监听信息"); }

    // A box with one OK button; returns when the user has closed it.
    static void Show(QWidget* parent, const QString& caption, const QString& text,
                     QMessageBox::Icon icon);
    // A network message: caption "KELVARA", information icon.
    static void Inform(QWidget* parent, const QString& text) {
        Show(parent, NetCaption(), text, QMessageBox::Information);
    }
    // The same box without waiting for it: shown application modal at once and deleted when
    // closed; its finished() signal tells the pressed button.
    static QMessageBox* Open(QWidget* parent, const QString& caption, const QString& text,
                             QMessageBox::Icon icon,
                             QMessageBox::StandardButtons buttons = QMessageBox::Ok);
};

}  // namespace kelvara
