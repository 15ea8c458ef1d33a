#include "WaitingNotice.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"
#include "GbkText.h"

namespace kelvara {

WaitingNotice::WaitingNotice(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(DluRect(0, 0, 267, 28).size());
    setStyleSheet(QStringLiteral("kelvara--WaitingNotice { border: 1px solid palette(dark); }"));

    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("notice"));
    label_->setGeometry(DluRect(3, 6, 199, 17));
    label_->setAlignment(Qt::AlignCenter);

    auto* button = new QPushButton(QStringLiteral("取消"), this);
    button->setObjectName(QStringLiteral("cancel"));
    button->setGeometry(DluRect(210, 7, 50, 14));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &WaitingNotice::accept);
}

void WaitingNotice::ShowNotice() {
    label_->setText(GbkText::ToQString(text));
    if (QWidget* owner = parentWidget()) move(owner->mapToGlobal(DluRect(0, 50, 0, 0).topLeft()));
    setWindowModality(Qt::ApplicationModal);
    show();
    repaint();
}

void WaitingNotice::accept() {
    cancelled = 1;
    QDialog::accept();
}

void WaitingNotice::reject() {
    cancelled = 1;
    QDialog::reject();
}

}  // namespace kelvara
