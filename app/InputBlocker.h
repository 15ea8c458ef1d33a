#pragma once

#include <QObject>

namespace kelvara {

// While it exists, mouse and keyboard input to the whole application is swallowed (dropped,
// not queued). Used around the step animation so that clicks made meanwhile do nothing.
class InputBlocker : public QObject {
    Q_OBJECT
  public:
    InputBlocker();
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

    // Delivers what is already waiting in the queues (paints, timers), dropping any input in it.
    void DropPendingInput();

    static bool IsUserInput(int eventType);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kelvara
