#include "WaitingNotice.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"

namespace kelvara {

WaitingNotice::WaitingNotice(QWidget* owner, const QString& text)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(DluRect(0, 0, 267, 28).size());
    setStyleSheet(QStringLiteral("kelvara--WaitingNotice { border: 1px solid palette(dark); }"));

    label_ = new QLabel(text, this);
    label_->setObjectName(QStringLiteral("notice"));
    label_->setGeometry(DluRect(3, 6, 199, 17));
    label_->setAlignment(Qt::AlignCenter);

    button_ = new QPushButton(tr("取消"), this);
    button_->setObjectName(QStringLiteral("cancel"));
    button_->setGeometry(DluRect(210, 7, 50, 14));
    button_->setDefault(true);
    connect(button_, &QPushButton::clicked, this, &WaitingNotice::accept);
}

void WaitingNotice::ShowNotice() {
    if (QWidget* owner = parentWidget()) move(owner->mapToGlobal(DluRect(0, 50, 0, 0).topLeft()));
    setWindowModality(Qt::ApplicationModal);
    show();
}

void WaitingNotice::CloseNotice() {
    closing_ = true;
    hide();
    closing_ = false;
}

void WaitingNotice::Cancel() {
    if (closing_ || cancelled_) return;
    cancelled_ = true;
    emit cancelled();
}

void WaitingNotice::accept() {
    QDialog::accept();
    Cancel();
}

void WaitingNotice::reject() {
    QDialog::reject();
    Cancel();
}

}  // namespace kelvara
