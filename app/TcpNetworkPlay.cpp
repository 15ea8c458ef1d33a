#include "TcpNetworkPlay.h"

#include "InputBlocker.h"
#include "InvitationClient.h"
#include "InvitationTextDialog.h"
#include "MessageBox.h"
#include "WaitingNotice.h"

namespace kelvara {

namespace {

QString TestText(InvitationClient::TestResult result, int major, int minor) {
    using Result = InvitationClient::TestResult;
    switch (result) {
        case Result::Answered:
            return TcpNetworkPlay::tr("连接测试成功，对方程序版本为 v%1.%2").arg(major).arg(minor);
        case Result::NotKelvara:
            return TcpNetworkPlay::tr("主机没有运行六子棋程序!!");
        case Result::TimedOut:
            return TcpNetworkPlay::tr("连接超时！");
        case Result::ConnectFailed:
            return TcpNetworkPlay::tr("无法与主机建立连接!");
        case Result::SendFailed:
            return TcpNetworkPlay::tr("消息发送失败!");
    }
    return {};
}

// The message for an invitation that was not accepted; empty when the user ended the wait.
QString InvitationText(InvitationClient::InvitationResult result, const QString& reason) {
    using Result = InvitationClient::InvitationResult;
    switch (result) {
        case Result::Refused:
            return TcpNetworkPlay::tr("对方拒绝了你的请求，原因是：\n   %1").arg(reason);
        case Result::InvalidAnswer:
            return TcpNetworkPlay::tr("收到无效的应答！");
        case Result::ConnectFailed:
            return TcpNetworkPlay::tr("无法与主机建立连接!");
        case Result::SendFailed:
            return TcpNetworkPlay::tr("消息发送失败!");
        case Result::Accepted:
        case Result::Cancelled:
            break;
    }
    return {};
}

}  // namespace

TcpNetworkPlay::TcpNetworkPlay(GameSession& session, QWidget* owner, quint16 listenPort)
    : hub_(session),
      incoming_(hub_.Listener(), owner),
      owner_(owner),
      listenPort_(listenPort),
      pollIntervalMs_(InvitationClient::kPollIntervalMs),
      connectTimeoutMs_(InvitationClient::kConnectTimeoutMs) {}

TcpNetworkPlay::~TcpNetworkPlay() {
    delete notice_;
    delete client_;
}

void TcpNetworkPlay::SetClientTiming(int pollIntervalMs, int connectTimeoutMs) {
    pollIntervalMs_ = pollIntervalMs;
    connectTimeoutMs_ = connectTimeoutMs;
}

bool TcpNetworkPlay::StartListening() {
    switch (hub_.StartListening(listenPort_)) {
        case InvitationListener::ListenResult::Listening:
            emit listening(hub_.ListeningPort());
            return true;
        case InvitationListener::ListenResult::SocketFailed:
            MessageBox::Inform(owner_, tr("创建接口失败！"));
            return false;
        case InvitationListener::ListenResult::ListenFailed:
            MessageBox::Inform(owner_, tr("监听端口失败！"));
            return false;
    }
    return false;
}

InvitationClient* TcpNetworkPlay::NewClient() {
    client_ = new InvitationClient(this);
    client_->SetTiming(pollIntervalMs_, connectTimeoutMs_);
    return client_;
}

void TcpNetworkPlay::EndClient() {
    blocker_.reset();
    if (notice_ != nullptr) {
        notice_->CloseNotice();
        notice_->deleteLater();
    }
    if (client_ != nullptr) client_->deleteLater();
    client_ = nullptr;
}

void TcpNetworkPlay::TestConnection(QWidget* dialog, std::uint32_t address, quint16 port) {
    if (Busy()) return;
    InvitationClient* client = NewClient();
    // Nothing in the window may be used until the outcome is shown.
    blocker_ = std::make_unique<InputBlocker>();
    QPointer<QWidget> over(dialog);
    connect(client, &InvitationClient::testFinished, this,
            [this, over](InvitationClient::TestResult result, int major, int minor) {
                EndClient();
                MessageBox::Open(over, MessageBox::NetCaption(), TestText(result, major, minor),
                                 QMessageBox::Information);
            });
    client->StartTest(address, port);
}

void TcpNetworkPlay::Invite(QWidget* dialog, std::uint32_t address, quint16 port,
                            std::function<void(bool)> done) {
    if (Busy()) return;
    // Not translated: the preset text goes to the other player as it is.
    auto* input = new InvitationTextDialog(dialog, tr("请输入邀请信息(512字节以内):"),
                                           "你好，我们来下六子棋好吗？");
    input->setAttribute(Qt::WA_DeleteOnClose);
    input->setWindowModality(Qt::ApplicationModal);
    QPointer<QWidget> over(dialog);
    connect(input, &QDialog::finished, this, [=, this](int result) {
        if (result != QDialog::Accepted) {
            done(false);
            return;
        }
        SendInvitation(over, address, port, input->Text(), done);
    });
    input->show();
}

void TcpNetworkPlay::SendInvitation(QWidget* dialog, std::uint32_t address, quint16 port,
                                    const std::string& text, std::function<void(bool)> done) {
    if (Busy()) {
        done(false);
        return;
    }
    InvitationClient* client = NewClient();
    blocker_ = std::make_unique<InputBlocker>();
    QPointer<QWidget> over(dialog);
    connect(client, &InvitationClient::invitationSent, this, [this, over, client] {
        // From here the notice's button is the one thing that can be used.
        blocker_.reset();
        notice_ = new WaitingNotice(over, tr("请求已经发出,正在等待对方回应,请等待......"));
        connect(notice_, &WaitingNotice::cancelled, client, &InvitationClient::Cancel);
        notice_->ShowNotice();
    });
    connect(client, &InvitationClient::invitationFinished, this,
            [this, over, client, done](InvitationClient::InvitationResult result,
                                       const QString& reason) {
                const bool accepted = result == InvitationClient::InvitationResult::Accepted;
                if (accepted) hub_.SetPendingPeer(client->TakeSocket());
                EndClient();
                const QString message = InvitationText(result, reason);
                if (!message.isEmpty())
                    MessageBox::Open(over, MessageBox::NetCaption(), message,
                                     QMessageBox::Information);
                done(accepted);
            });
    client->StartInvitation(address, port, text);
}

}  // namespace kelvara
