#include "NetMessageBox.h"

namespace kelvara {

const QString NetMessageBox::kCaption = QStringLiteral("KELVARA");
const QString NetMessageBox::kListenCaption = QStringLiteral("监听信息");

void NetMessageBox::Inform(QWidget* owner, const QString& text, const QString& caption,
                           QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

bool NetMessageBox::Ask(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kelvara
