#pragma once

#include <QObject>

namespace kelvara {

// While it exists, mouse and keyboard input to the whole application is swallowed (dropped,
// not queued). Kept while a step slides on the board, so that clicks made meanwhile do nothing.
class InputBlocker : public QObject {
    Q_OBJECT
  public:
    InputBlocker();
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

    static bool IsUserInput(int eventType);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kelvara
