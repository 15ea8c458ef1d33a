#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>

class QWidget;

namespace kelvara {

class InvitationListener;
class InvitationTextDialog;

// Puts the listener's invitations to the user over `owner` and sends the answers back: the
// question "来自 ... 的朋友邀请你一起下六子棋" with Yes and No, and after No the reason dialog.
// One invitation is asked at a time; the others wait their turn in arrival order. An
// inviter that leaves takes its question away: its box or reason dialog closes unanswered,
// and a No for an inviter that has gone asks for no reason. The listener's failures show as
// message boxes, at most one of each kind at a time.
class IncomingInvitations : public QObject {
    Q_OBJECT

  public:
    IncomingInvitations(InvitationListener& listener, QWidget* owner, QObject* parent = nullptr);
    ~IncomingInvitations() override;

    // Invitations that wait behind the one being asked.
    int Queued() const { return static_cast<int>(queue_.size()); }
    // The slot whose invitation is being asked, or -1.
    int Asking() const { return asking_; }

  private:
    struct Invitation {
        int slot;
        QString question;
    };

    void OnArrived(int slot, const QString& peerAddress, const QString& text);
    void OnWithdrawn(int slot);
    void AskNext();
    void OnQuestionAnswered(bool yes);
    void OnReasonGiven();
    void Done();
    void ShowOnce(QPointer<QMessageBox>& box, const QString& caption, const QString& text,
                  QMessageBox::Icon icon);

    InvitationListener& listener_;
    QWidget* owner_;
    std::deque<Invitation> queue_;
    int asking_ = -1;
    QPointer<QMessageBox> question_;
    QPointer<InvitationTextDialog> reason_;
    QPointer<QMessageBox> replyFailedBox_;
    QPointer<QMessageBox> acceptFailedBox_;
};

}  // namespace kelvara
