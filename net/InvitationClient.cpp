#include "InvitationClient.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include "GbkText.h"
#include "InvitationTextDialog.h"
#include "MessageBox.h"
#include "WaitingNotice.h"
#include "WireProtocol.h"

namespace kelvara {

namespace {

std::string Gbk(const char* utf8) {
    return GbkText::FromQString(QString::fromUtf8(utf8));
}

std::string ReadAtMost(QTcpSocket* socket, std::size_t limit) {
    const QByteArray bytes = socket->read(static_cast<qint64>(limit));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Runs the event loop for `ms`, or until `stop` fires. User input waits unless `withInput`.
template <typename Sender, typename Signal>
void Wait(int ms, bool withInput, Sender* sender, Signal stop) {
    QEventLoop loop;
    QTimer timer;
    // The poll period is part of the protocol's pacing: a coarse timer may fire early.
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (sender != nullptr) QObject::connect(sender, stop, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec(withInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void Discard(QTcpSocket* socket) {
    socket->abort();
    delete socket;
}

}  // namespace

void InvitationClient::Inform(const char* utf8Text) {
    MessageBox::Inform(owner_, QString::fromUtf8(utf8Text));
}

QTcpSocket* InvitationClient::Connect(quint32 address, quint16 port) {
    auto* socket = new QTcpSocket;
    QEventLoop loop;
    QTimer limit;
    limit.setTimerType(Qt::PreciseTimer);
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(socket, &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket->connectToHost(QHostAddress(address), port);
    if (socket->state() != QAbstractSocket::UnconnectedState &&
        socket->state() != QAbstractSocket::ConnectedState) {
        limit.start(connectTimeoutMs_);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    socket->disconnect(&loop);
    if (socket->state() != QAbstractSocket::ConnectedState) {
        Discard(socket);
        Inform("无法与主机建立连接!");
        return nullptr;
    }
    return socket;
}

bool InvitationClient::SendBytes(QTcpSocket* socket, const std::string& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    if (socket->state() != QAbstractSocket::ConnectedState ||
        socket->write(bytes.data(), size) != size) {
        Discard(socket);
        Inform("消息发送失败!");
        return false;
    }
    socket->flush();
    return true;
}

void InvitationClient::TestConnection(quint32 address, quint16 port) {
    QTcpSocket* socket = Connect(address, port);
    if (socket == nullptr) return;
    if (!SendBytes(socket, WireProtocol::Probe())) return;

    for (int poll = 0; poll < kTestPolls; ++poll) {
        const bool closed = socket->state() != QAbstractSocket::ConnectedState;
        if (socket->bytesAvailable() > 0 || closed) {
            // A reply, or the peer's close: either ends the test.
            const std::string reply = ReadAtMost(socket, WireProtocol::kProbeReplyLimit);
            Discard(socket);
            int major = 0;
            int minor = 0;
            if (WireProtocol::ReadVersion(reply, major, minor)) {
                MessageBox::Inform(
                    owner_,
                    QStringLiteral("连接测试成功，对方程序版本为 v%1.%2").arg(major).arg(minor));
            } else {
                Inform("主机没有运行六子棋程序!!");
            }
            return;
        }
        Wait(pollIntervalMs_, false, static_cast<QTcpSocket*>(nullptr), &QTcpSocket::readyRead);
    }
    Discard(socket);
    Inform("连接超时！");
}

QTcpSocket* InvitationClient::SendInvitation(quint32 address, quint16 port) {
    InvitationTextDialog input(owner_);
    input.prompt = Gbk("请输入邀请信息(512字节以内):");
    input.text = Gbk("你好，我们来下六子棋好吗？");
    if (input.exec() != QDialog::Accepted) return nullptr;
    const std::string message = WireProtocol::Invitation(input.text);

    QTcpSocket* socket = Connect(address, port);
    if (socket == nullptr) return nullptr;
    if (!SendBytes(socket, message)) return nullptr;

    WaitingNotice notice(owner_);
    notice.text = Gbk("请求已经发出,正在等待对方回应,请等待......");
    notice.ShowNotice();
    while (true) {
        if (notice.cancelled) {
            // The peer never accepted: the attempt ends as after a refusal.
            Discard(socket);
            return nullptr;
        }
        const bool closed = socket->state() != QAbstractSocket::ConnectedState;
        if (socket->bytesAvailable() > 0 || closed) break;
        // The notice's button stays usable and ends the wait at once.
        Wait(pollIntervalMs_, true, &notice, &QDialog::finished);
    }
    notice.CloseNotice();

    std::string answer = ReadAtMost(socket, WireProtocol::kAnswerLimit);
    switch (WireProtocol::Code(answer)) {
        case WireProtocol::kAcceptance:
            return socket;
        case WireProtocol::kRefusal:
            Discard(socket);
            MessageBox::Inform(owner_, QStringLiteral("对方拒绝了你的请求，原因是：\n   ") +
                                           GbkText::ToQString(WireProtocol::Text(answer)));
            return nullptr;
        default:
            Discard(socket);
            Inform("收到无效的应答！");
            return nullptr;
    }
}

}  // namespace kelvara
