#include "MessageBox.h"

namespace kelvara {

void MessageBox::Show(QWidget* parent, const QString& caption, const QString& text,
                      QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("kelvaraMessage"));
    box.exec();
}

QMessageBox* MessageBox::Open(QWidget* parent, const QString& caption, const QString& text,
                              QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    auto* box = new QMessageBox(icon, caption, text, buttons, parent);
    box->setObjectName(QStringLiteral("kelvaraMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
    return box;
}

}  // namespace kelvara
