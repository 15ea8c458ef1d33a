#include "CInfoNotice.h"

#include <QLabel>
#include <QPushButton>

#include "GbkText.h"

namespace kelvara {

namespace {

int Dx(int units) {
    return units * 3 / 2;
}
int Dy(int units) {
    return units * 13 / 8;
}

}  // namespace

CInfoNotice::CInfoNotice(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(Dx(267), Dy(28));
    setStyleSheet(QStringLiteral("kelvara--CInfoNotice { border: 1px solid palette(dark); }"));

    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("notice"));
    label_->setGeometry(Dx(3), Dy(6), Dx(199), Dy(17));
    label_->setAlignment(Qt::AlignCenter);

    auto* button = new QPushButton(QStringLiteral("取消"), this);
    button->setObjectName(QStringLiteral("cancel"));
    button->setGeometry(Dx(210), Dy(7), Dx(50), Dy(14));
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, &CInfoNotice::accept);
}

void CInfoNotice::ShowNotice() {
    label_->setText(GbkText::ToQString(text));
    if (QWidget* owner = parentWidget()) move(owner->mapToGlobal(QPoint(0, Dy(50))));
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
