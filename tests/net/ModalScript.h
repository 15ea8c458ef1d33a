#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

#include "InvitationTextDialog.h"
#include "WaitingNotice.h"

namespace nettest {

using namespace kelvara;

// What a modal window showed when the script answered it.
struct Seen {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString preset;  // the text dialog's text when it opened
};

// Answers the modal windows as they appear, one scripted action each, in order, and records
// what each showed.
class ModalScript : public QObject {
  public:
    using Action = std::function<bool(QWidget*)>;

    ModalScript() {
        connect(&timer_, &QTimer::timeout, this, &ModalScript::Tick);
        timer_.start(5);
    }

    std::vector<Seen> seen;

    bool Done() const { return actions_.empty(); }

    ModalScript& Then(Action action) {
        actions_.push_back(std::move(action));
        return *this;
    }

    // A message box: records it and presses `button`.
    ModalScript& Box(QMessageBox::StandardButton button = QMessageBox::Ok) {
        actions_.push_back([this, button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr) return false;
            seen.push_back({box->windowTitle(), box->text(), box->icon(), QString()});
            box->button(button)->click();
            return true;
        });
        return *this;
    }

    // The text dialog: records prompt and preset, then leaves it with OK (after replacing the
    // text with `replacement`, when given) or with Cancel.
    ModalScript& Input(bool ok, const QString* replacement = nullptr) {
        const bool replace = replacement != nullptr;
        const QString text = replace ? *replacement : QString();
        actions_.push_back([this, ok, replace, text](QWidget* w) {
            auto* input = qobject_cast<InvitationTextDialog*>(w);
            if (input == nullptr) return false;
            seen.push_back({input->windowTitle(), input->PromptLabel()->text(), QMessageBox::NoIcon,
                            input->Editor()->toPlainText()});
            if (replace) input->Editor()->setPlainText(text);
            (ok ? input->OkButton() : input->CancelButton())->click();
            return true;
        });
        return *this;
    }

    // The waiting notice: records its text and presses its button.
    ModalScript& CancelNotice() {
        actions_.push_back([this](QWidget* w) {
            auto* notice = qobject_cast<WaitingNotice*>(w);
            if (notice == nullptr) return false;
            seen.push_back({QString(), notice->Label()->text(), QMessageBox::NoIcon, QString()});
            notice->CancelButton()->click();
            return true;
        });
        return *this;
    }

  private:
    void Tick() {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || actions_.empty() || w == last_) return;
        if (actions_.front()(w)) {
            last_ = w;
            actions_.pop_front();
        }
    }

    QTimer timer_;
    std::deque<Action> actions_;
    QPointer<QWidget> last_;
};

}  // namespace nettest
