#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace kelvara {

// The message boxes of network play: fixed texts, captions and icons, owned by a window.
class NetMessageBox {
  public:
    static const QString kCaption;        // "KELVARA"
    static const QString kListenCaption;  // caption of the listener's failed replies

    // Information box with an OK button; returns when the user has closed it.
    static void Inform(QWidget* owner, const QString& text, const QString& caption = kCaption,
                       QMessageBox::Icon icon = QMessageBox::Information);
    // Question box with Yes and No; true for Yes.
    static bool Ask(QWidget* owner, const QString& text, const QString& caption = kCaption);
};

}  // namespace kelvara
