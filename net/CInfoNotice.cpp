#include "CInfoNotice.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"

namespace kelvara {

CInfoNotice::CInfoNotice(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(DluRect(0, 0, 267, 28).size());
    setStyleSheet(QStringLiteral("kelvara--CInfoNotice { border: 1px solid palette(dark); }"));

    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("notice"));
    label_->setGeometry(DluRect(3, 6, 199, 17));
    label_->setAlignment(Qt::AlignCenter);

    auto* button = new QPushButton(QStringLiteral("取消"), this);
    button->setObjectName(QStringLiteral("cancel"));
    button->setGeometry(DluRect(210, 7, 50, 14));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &CInfoNotice::accept);
}

void CInfoNotice::ShowNotice() {
    label_->setText(QString::fromStdString(text));
    if (QWidget* owner = parentWidget()) move(owner->mapToGlobal(DluRect(0, 50, 0, 0).topLeft()));
    setWindowModality(Qt::ApplicationModal);
    show();
    repaint();
}

void CInfoNotice::accept() {
    cancelled = 1;
    QDialog::accept();
}

void CInfoNotice::reject() {
    cancelled = 1;
    QDialog::reject();
}

}  // namespace kelvara
