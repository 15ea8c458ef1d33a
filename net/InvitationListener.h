#pragma once

#include <QHostAddress>
#include <QObject>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "NetworkLink.h"

class QTcpServer;
class QWidget;

namespace kelvara {

class GameConnection;
class GameSession;

// The listening socket: answers a connection test at once, and puts an invitation to the
// user, who accepts (a game starts on that connection's slot as the answering side) or
// refuses with a reason.
//
// No peer can make it deaf. Every incoming connection is accepted at once and waits for its
// first request beside the others, each with its own deadline; at most kMaxWaiting wait at a
// time (a newcomer then pushes out the one that has waited longest). A probe is answered and
// its connection closed; a request with no known code closes the connection at once. Only an
// invitation takes one of the five incoming slots (1 to 5), and keeps it while its question
// is open or while it carries a game; a refused invitation's connection is closed once the
// refusal has been sent. An invitation that finds no free slot waits unanswered until one is
// given back or its deadline passes.
class InvitationListener : public QObject {
    Q_OBJECT

  public:
    static constexpr int kFirstIncomingSlot = 1;
    static constexpr int kLastIncomingSlot = 5;
    static constexpr int kRequestTimeoutMs = 10000;
    static constexpr int kMaxWaiting = 64;

    InvitationListener(GameSession& session,
                       std::array<GameConnection*, NetworkLink::kSlots> connections, QWidget* owner,
                       QObject* parent = nullptr);
    ~InvitationListener() override;

    // Listens on `port` (0: any free port). On failure shows why and returns false.
    bool StartListening(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 Port() const;
    bool IsListening() const;

    void SetRequestTimeout(int ms) { requestTimeoutMs_ = ms; }
    void SetOwner(QWidget* owner) { owner_ = owner; }

    // Number of incoming slots that hold a connection.
    int HeldConnections() const;
    // Number of connections whose first request has not been answered yet.
    int WaitingConnections() const { return static_cast<int>(waiting_.size()); }

  signals:
    // A game was started on `slot` as the answering side.
    void invitationAccepted(int slot);

  private:
    void OnIncomingConnection();
    void OnRequestData(GameConnection* c);
    void OnWaitingGone(GameConnection* c);
    void OnSlotClosed();
    void TakeSlots();
    bool TakeSlot(GameConnection* waiting);
    void AnswerInvitation(int slot, const std::string& request);
    void Forget(GameConnection* waiting);
    int FreeSlotIndex();
    void ReplyFailed(const GameConnection& c);
    void AcceptFailed();

    GameSession& session_;
    std::array<GameConnection*, NetworkLink::kSlots> connections_;
    QWidget* owner_;
    QTcpServer* server_;
    // Accepted connections waiting for their first request, oldest first.
    std::vector<GameConnection*> waiting_;
    int requestTimeoutMs_ = kRequestTimeoutMs;
    bool replyBoxOpen_ = false;
    bool acceptBoxOpen_ = false;
};

}  // namespace kelvara
