#pragma once

#include <QHostAddress>
#include <QTest>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "GameSession.h"
#include "Gbk.h"
#include "InvitationListener.h"
#include "NetworkHub.h"
#include "RecordingView.h"

namespace nettest {

using namespace kelvara;

inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The loopback address as the start-game dialog hands it over.
inline constexpr quint32 kLoopback = 0x7F000001;

using FakeView = kelvara::test::RecordingView;

// One copy of the program without its window: session, fake view and network hub, listening
// on a free loopback port. Its invitations are answered as `answer` says, at once, and
// recorded (peer address, text).
struct Copy {
    enum class Answer { None, Accept, Refuse };

    FakeView view;
    GameSession session{view, nullptr, nullptr};
    NetworkHub hub{session};
    Answer answer = Answer::None;
    std::string reason = "对不起，我现在很忙.";
    std::vector<std::pair<QString, QString>> asked;

    Copy() {
        view.session = &session;
        session.SetNetworkLink(&hub);
        hub.StartListening(0, QHostAddress::LocalHost);
        QObject::connect(&hub.Listener(), &InvitationListener::invitationArrived,
                         [this](int slot, const QString& address, const QString& text) {
                             asked.emplace_back(address, text);
                             if (answer == Answer::Accept) hub.Listener().Accept(slot);
                             if (answer == Answer::Refuse) hub.Listener().Refuse(slot, reason);
                         });
    }
    InvitationListener& Listener() { return hub.Listener(); }
    quint16 Port() const { return const_cast<NetworkHub&>(hub).ListeningPort(); }
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

// The local player's step, as the window's drag hands it over ("21U").
inline void Drag(GameSession& s, const char* move) {
    const int fx = move[0] - '0';
    const int fy = move[1] - '0';
    const int direction = move[2] == 'U'   ? Up
                          : move[2] == 'D' ? Down
                          : move[2] == 'L' ? Left
                                           : Right;
    s.PlayLocalStep(MoveRecord{fx, fy, direction});
}

}  // namespace nettest
