#include "MessageBox.h"

namespace kelvara {

void MessageBox::Show(QWidget* parent, const QString& caption, const QString& text,
                      QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("kelvaraMessage"));
    box.exec();
}

bool MessageBox::Ask(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setObjectName(QStringLiteral("kelvaraMessage"));
    return box.exec() == QMessageBox::Yes;
}

}  // namespace kelvara
