#pragma once

#include <QObject>
#include <QPointer>
#include <QtGlobal>
#include <memory>

#include "IncomingInvitations.h"
#include "NetworkHub.h"
#include "NetworkPlay.h"

class QWidget;

namespace kelvara {

class GameSession;
class InputBlocker;
class InvitationClient;
class WaitingNotice;

// Network play over TCP: the hub (listener and six game connections) for `session` with the
// questions of its invitations put to the user, and the connection test and invitation of the
// start dialog. Made by the program's start-up beside the window and destroyed before it.
class TcpNetworkPlay : public QObject, public NetworkPlay {
    Q_OBJECT

  public:
    // `owner` is the window over which the listener's questions and messages are shown.
    TcpNetworkPlay(GameSession& session, QWidget* owner, quint16 listenPort);
    ~TcpNetworkPlay() override;

    NetworkHub& Hub() { return hub_; }
    IncomingInvitations& Incoming() { return incoming_; }
    // Port the listener is started on (0: any free port; NetworkHub tells which).
    quint16 ListenPort() const { return listenPort_; }
    void SetListenPort(quint16 port) { listenPort_ = port; }
    // Poll period and connect limit of the connection test and the invitation.
    void SetClientTiming(int pollIntervalMs, int connectTimeoutMs);
    // True while a connection test or an invitation is under way.
    bool Busy() const { return client_ != nullptr; }

    NetworkLink& Link() override { return hub_; }
    bool StartListening() override;
    void TestConnection(QWidget* dialog, std::uint32_t address, quint16 port) override;
    void Invite(QWidget* dialog, std::uint32_t address, quint16 port,
                std::function<void(bool accepted)> done) override;

  signals:
    // The listener is on, at `port`.
    void listening(quint16 port);

  private:
    InvitationClient* NewClient();
    void SendInvitation(QWidget* dialog, std::uint32_t address, quint16 port,
                        const std::string& text, std::function<void(bool)> done);
    void EndClient();

    NetworkHub hub_;
    IncomingInvitations incoming_;
    QWidget* owner_;
    quint16 listenPort_;
    int pollIntervalMs_;
    int connectTimeoutMs_;
    InvitationClient* client_ = nullptr;
    std::unique_ptr<InputBlocker> blocker_;
    QPointer<WaitingNotice> notice_;
};

}  // namespace kelvara
