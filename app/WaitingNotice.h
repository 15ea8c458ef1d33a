#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace kelvara {

// Small window without a title bar that shows a notice and one button "取消" while a wait goes
// on. Pressing the button (or Escape, which would otherwise hide the only way to end the
// wait) closes it and emits cancelled(); CloseNotice() ends it when the wait is over.
class WaitingNotice : public QDialog {
    Q_OBJECT

  public:
    WaitingNotice(QWidget* owner, const QString& text);

    // Shows the window near the top-left corner of the owner. It takes the input of the
    // application while it is shown, so the owner cannot start a second wait under it.
    void ShowNotice();
    // Hides the notice without a cancelled() signal.
    void CloseNotice();

    bool Cancelled() const { return cancelled_; }
    QLabel* Label() const { return label_; }
    QPushButton* CancelButton() const { return button_; }

    void accept() override;
    void reject() override;

  signals:
    void cancelled();

  private:
    void Cancel();

    QLabel* label_;
    QPushButton* button_;
    bool cancelled_ = false;
    bool closing_ = false;
};

}  // namespace kelvara
