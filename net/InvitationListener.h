#pragma once

#include <QHostAddress>
#include <QObject>
#include <array>
#include <cstdint>
#include <string>

class QTcpServer;
class QTimer;
class QWidget;

namespace kelvara {

class GameConnection;
class GameSession;

// The listening socket: takes incoming connections into slots 1 to 5, answers a connection
// test at once, and puts an invitation to the user, who accepts (a game starts on that slot
// as the answering side) or refuses with a reason.
//
// Slots: at most five incoming connections are held at once. A slot is given back when its
// connection closes (probe answered, peer gone, silent peer dropped) unless it carries the
// running game; connections beyond five wait in the server's queue until a slot is free.
class InvitationListener : public QObject {
    Q_OBJECT

  public:
    static constexpr int kFirstIncomingSlot = 1;
    static constexpr int kLastIncomingSlot = 5;
    static constexpr int kRequestTimeoutMs = 10000;

    InvitationListener(GameSession& session, std::array<GameConnection*, 6> connections,
                       QWidget* owner, QObject* parent = nullptr);
    ~InvitationListener() override;

    // Listens on `port` (0: any free port) with a backlog of 5. On failure shows why and
    // returns false.
    bool StartListening(quint16 port, const QHostAddress& address = QHostAddress::AnyIPv4);
    quint16 Port() const;
    bool IsListening() const;

    void SetRequestTimeout(int ms) { requestTimeoutMs_ = ms; }
    void SetOwner(QWidget* owner) { owner_ = owner; }

    // Slot of the last invitation the user accepted; -2 before the first.
    std::int32_t acceptedSlot = -2;

    // Number of incoming slots that hold a connection.
    int HeldConnections() const;

  signals:
    // A game was started on `slot` as the answering side.
    void invitationAccepted(int slot);

  private:
    void OnIncomingConnection();
    void OnRequestData(int slot);
    void OnRequestTimedOut(int slot);
    void OnConnectionClosed(int slot);
    void AnswerInvitation(int slot, const std::string& request);
    void FreeSlot(int slot);
    bool SlotFree(int slot) const;
    bool CarriesRunningGame(int slot) const;
    int FreeSlotIndex() const;

    GameSession& session_;
    std::array<GameConnection*, 6> connections_;
    QWidget* owner_;
    QTcpServer* server_;
    QTimer* retryTimer_;
    int requestTimeoutMs_ = kRequestTimeoutMs;
};

}  // namespace kelvara
