#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QHostAddress>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "GameSession.h"
#include "Gbk.h"
#include "GbkText.h"
#include "InvitationTextDialog.h"
#include "NetworkHub.h"
#include "RecordingView.h"
#include "WaitingNotice.h"

namespace nettest {

using namespace kelvara;

inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The loopback address as the start-game dialog hands it over.
inline constexpr quint32 kLoopback = 0x7F000001;

using FakeView = kelvara::test::RecordingView;

// One copy of the program without its window: session, fake view and network hub, listening
// on a free loopback port.
struct Copy {
    FakeView view;
    GameSession session{view, nullptr, nullptr};
    NetworkHub hub{session, nullptr};

    Copy() {
        session.SetNetworkLink(&hub);
        hub.StartListening(0, QHostAddress::LocalHost);
    }
    quint16 Port() const { return const_cast<NetworkHub&>(hub).ListeningPort(); }
};

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
            seen.push_back({input->windowTitle(), GbkText::ToQString(input->prompt),
                            QMessageBox::NoIcon, input->Editor()->toPlainText()});
            if (replace) input->Editor()->setPlainText(text);
            input->findChild<QPushButton*>(ok ? QStringLiteral("ok") : QStringLiteral("cancel"))
                ->click();
            return true;
        });
        return *this;
    }

    // The waiting notice: presses its button.
    ModalScript& CancelNotice() {
        actions_.push_back([](QWidget* w) {
            auto* notice = qobject_cast<WaitingNotice*>(w);
            if (notice == nullptr) return false;
            notice->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
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

inline bool WaitFor(const std::function<bool()>& condition, int ms = 5000) {
    return QTest::qWaitFor(condition, ms);
}

inline QByteArray B(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) bytes.append(static_cast<char>(v));
    return bytes;
}

inline QByteArray G(const char* utf8) {
    return QByteArray::fromStdString(Gbk(utf8));
}

// Centre pixel of a piece square, and a whole mouse move from it one step on.
inline void Drag(GameSession& s, const char* move) {
    const int fx = move[0] - '0';
    const int fy = move[1] - '0';
    int tx = fx, ty = fy;
    switch (move[2]) {
        case 'U':
            ty = fy + 1;
            break;
        case 'D':
            ty = fy - 1;
            break;
        case 'L':
            tx = fx - 1;
            break;
        default:
            tx = fx + 1;
            break;
    }
    auto px = [](int c) { return 95 * c - 80; };
    auto py = [](int r) { return 475 - 95 * r; };
    s.OnLeftButtonDown(px(fx), py(fy));
    s.OnMouseMove((px(fx) + px(tx)) / 2, (py(fy) + py(ty)) / 2, true);
    s.OnMouseMove(px(tx), py(ty), true);
    s.OnLeftButtonUp(px(tx), py(ty));
}

}  // namespace nettest
