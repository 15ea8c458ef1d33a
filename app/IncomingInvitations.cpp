#include "IncomingInvitations.h"

#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "InvitationListener.h"
#include "InvitationTextDialog.h"
#include "MessageBox.h"

namespace kelvara {

IncomingInvitations::IncomingInvitations(InvitationListener& listener, QWidget* owner,
                                         QObject* parent)
    : QObject(parent), listener_(listener), owner_(owner) {
    connect(&listener_, &InvitationListener::invitationArrived, this,
            &IncomingInvitations::OnArrived);
    connect(&listener_, &InvitationListener::invitationWithdrawn, this,
            &IncomingInvitations::OnWithdrawn);
    connect(&listener_, &InvitationListener::replyFailed, this, [this] {
        ShowOnce(replyFailedBox_, MessageBox::ListenCaption(), tr("回应连接失败！"),
                 QMessageBox::Information);
    });
    connect(&listener_, &InvitationListener::acceptFailed, this, [this] {
        ShowOnce(acceptFailedBox_, MessageBox::ProgramTitle(), tr("接受连接时失败!"),
                 QMessageBox::NoIcon);
    });
}

IncomingInvitations::~IncomingInvitations() {
    for (QWidget* w :
         {static_cast<QWidget*>(question_.data()), static_cast<QWidget*>(reason_.data())}) {
        if (w == nullptr) continue;
        w->disconnect(this);
        delete w;
    }
}

void IncomingInvitations::ShowOnce(QPointer<QMessageBox>& box, const QString& caption,
                                   const QString& text, QMessageBox::Icon icon) {
    // One box tells of any number of failures; a closed one may wait for its deletion.
    if (box != nullptr && box->isVisible()) return;
    box = MessageBox::Open(owner_, caption, text, icon);
}

void IncomingInvitations::OnArrived(int slot, const QString& peerAddress, const QString& text) {
    const QString question =
        tr("来自 %1 的朋友邀请你一起下六子棋,\n 你要接受对方的邀请吗？\n  附加信息:\n      %2")
            .arg(peerAddress, text);
    queue_.push_back({slot, question});
    if (asking_ < 0) AskNext();
}

void IncomingInvitations::AskNext() {
    if (asking_ >= 0 || queue_.empty()) return;
    const Invitation next = queue_.front();
    queue_.pop_front();
    asking_ = next.slot;
    QMessageBox* box = MessageBox::Open(owner_, MessageBox::NetCaption(), next.question,
                                        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
    question_ = box;
    connect(box, &QDialog::finished, this, [this, box] {
        OnQuestionAnswered(box->clickedButton() == box->button(QMessageBox::Yes));
    });
}

void IncomingInvitations::OnQuestionAnswered(bool yes) {
    question_ = nullptr;
    if (yes) {
        listener_.Accept(asking_);
        Done();
        return;
    }
    // An inviter that has gone is owed no reason.
    if (!listener_.InvitationOpen(asking_)) {
        Done();
        return;
    }
    // Not translated: the preset reason goes to the other player as it is.
    auto* dialog = new InvitationTextDialog(owner_, tr("请输入拒绝的原因(512字节以内):"),
                                            "对不起，我现在很忙.");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    reason_ = dialog;
    // Cancel refuses too, with the preset reason.
    connect(dialog, &QDialog::finished, this, &IncomingInvitations::OnReasonGiven);
    dialog->show();
}

void IncomingInvitations::OnReasonGiven() {
    if (reason_ != nullptr) listener_.Refuse(asking_, reason_->Text());
    reason_ = nullptr;
    Done();
}

void IncomingInvitations::Done() {
    asking_ = -1;
    AskNext();
}

void IncomingInvitations::OnWithdrawn(int slot) {
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                [slot](const Invitation& i) { return i.slot == slot; }),
                 queue_.end());
    if (slot != asking_) return;
    // The open question or reason dialog goes without an answer.
    for (QWidget* w :
         {static_cast<QWidget*>(question_.data()), static_cast<QWidget*>(reason_.data())}) {
        if (w == nullptr) continue;
        w->disconnect(this);
        w->hide();
        w->deleteLater();
    }
    question_ = nullptr;
    reason_ = nullptr;
    Done();
}

}  // namespace kelvara
