#pragma once

#include <QHostAddress>
#include <QObject>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "NetworkLink.h"

class QTcpServer;

namespace kelvara {

class GameConnection;
class GameSession;

// The listening socket: answers a connection test at once, and tells of an invitation
// (invitationArrived), which the window puts to the user and answers with Accept (a game
// starts on that connection's slot as the answering side) or Refuse with a reason. Nothing
// here asks the user or shows a message: failures are signals too.
//
// No peer can make it deaf. Every incoming connection is accepted at once and waits for its
// first request beside the others, each with its own deadline; at most kMaxWaiting wait at a
// time (a newcomer then pushes out the one that has waited longest). A probe is answered and
// its connection closed; a request with no known code closes the connection at once. Only an
// invitation takes one of the five incoming slots (1 to 5), and keeps it while its answer is
// awaited or while it carries a game; a refused invitation's connection is closed once the
// refusal has been sent, and an inviter that leaves before the answer gives its slot back
// (invitationWithdrawn). An invitation that finds no free slot waits unanswered until one is
// given back or its deadline passes.
class InvitationListener : public QObject {
    Q_OBJECT

  public:
    static constexpr int kFirstIncomingSlot = 1;
    static constexpr int kLastIncomingSlot = 5;
    static constexpr int kRequestTimeoutMs = 10000;
    static constexpr int kMaxWaiting = 64;

    enum class ListenResult {
        Listening,
        SocketFailed,  // the socket could not be made or bound (the port is taken, ...)
        ListenFailed,  // any other failure
    };

    InvitationListener(GameSession& session,
                       std::array<GameConnection*, NetworkLink::kSlots> connections,
                       QObject* parent = nullptr);
    ~InvitationListener() override;

    // Listens on `port` (0: any free port).
    ListenResult StartListening(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 Port() const;
    bool IsListening() const;

    void SetRequestTimeout(int ms) { requestTimeoutMs_ = ms; }

    // Number of incoming slots that hold a connection.
    int HeldConnections() const;
    // Number of connections whose first request has not been answered yet.
    int WaitingConnections() const { return static_cast<int>(waiting_.size()); }

    // Whether the invitation on `slot` still awaits its answer with its inviter connected.
    bool InvitationOpen(int slot) const;
    // Accepts the invitation on `slot`: sends the acceptance and starts the game. False when
    // there is no open invitation there (or its inviter has just left): no game then.
    bool Accept(int slot);
    // Refuses the invitation on `slot` with `reason` (UTF-8; sent as GBK) and closes its connection
    // once the refusal is sent.
    void Refuse(int slot, const std::string& reason);

  signals:
    // An invitation took `slot` and awaits Accept or Refuse. `text` is the inviter's message.
    void invitationArrived(int slot, const QString& peerAddress, const QString& text);
    // The inviter on `slot` left before it was answered; the slot is free again.
    void invitationWithdrawn(int slot);
    // A game was started on `slot` as the answering side.
    void invitationAccepted(int slot);
    // An answer could not be sent to a peer that is still connected.
    void replyFailed();
    // Taking an incoming connection failed.
    void acceptFailed();

  private:
    void OnIncomingConnection();
    void OnRequestData(GameConnection* c);
    void OnWaitingGone(GameConnection* c);
    void OnSlotClosed(GameConnection* c);
    void SlotFreed();
    void TakeSlots();
    bool TakeSlot(GameConnection* waiting);
    void Forget(GameConnection* waiting);
    int FreeSlotIndex();
    GameConnection* Asking(int slot) const;

    GameSession& session_;
    std::array<GameConnection*, NetworkLink::kSlots> connections_;
    QTcpServer* server_;
    // Accepted connections waiting for their first request, oldest first.
    std::vector<GameConnection*> waiting_;
    int requestTimeoutMs_ = kRequestTimeoutMs;
};

}  // namespace kelvara
