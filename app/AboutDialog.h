#pragma once

#include <QDialog>
#include <QIcon>

namespace kelvara {

// The about box: the program's icon, its name and version, a line on the game and an OK
// button.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    AboutDialog(const QIcon& icon, QWidget* parent = nullptr);
};

}  // namespace kelvara
