#include "Messages.h"

namespace kelvara {

void ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                 QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("kelvaraMessage"));
    box.exec();
}

}  // namespace kelvara
