#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;

namespace kelvara {

// Small window without a title bar that shows a notice and one button "取消" while a wait goes
// on. Shown modelessly with ShowNotice(); pressing the button (or Escape, which would
// otherwise hide the only way to end the wait) sets `cancelled` and closes the window.
class WaitingNotice : public QDialog {
    Q_OBJECT

  public:
    explicit WaitingNotice(QWidget* owner = nullptr);

    std::string text;  // GBK
    std::int32_t cancelled = 0;

    // Shows the window near the top-left corner of the owner and paints it at once. It takes
    // the input of the application while it is shown, so the owner cannot start a second
    // wait under it.
    void ShowNotice();

    // Ends the notice when the wait is over, without touching `cancelled`.
    void CloseNotice() { hide(); }

    void accept() override;
    void reject() override;

  private:
    QLabel* label_;
};

}  // namespace kelvara
