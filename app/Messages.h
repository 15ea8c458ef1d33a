#pragma once

#include <QMessageBox>
#include <QString>

namespace kelvara {

// The program's title, the caption of its untitled message boxes.
inline QString ProgramTitle() {
    return QStringLiteral("六子棋");
}

// A modal message box with one OK button; returns when the user has closed it.
void ShowMessage(QWidget* parent, const QString& caption, const QString& text,
                 QMessageBox::Icon icon);

}  // namespace kelvara
