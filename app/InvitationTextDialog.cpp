#include "InvitationTextDialog.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "DialogUnits.h"
#include "GbkCodec.h"

namespace kelvara {

namespace {

// The editor holds line feeds; the message carries CR LF.
QString WithCrLf(QString text) {
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// The length that counts against the limit: bytes of the GBK message.
int GbkBytes(const QString& text) {
    return static_cast<int>(GbkCodec::GbkLength(WithCrLf(text).toStdString()));
}

}  // namespace

InvitationTextDialog::InvitationTextDialog(QWidget* owner, const QString& prompt,
                                           const std::string& preset)
    : QDialog(owner), text_(preset) {
    setWindowTitle(QStringLiteral("CKELVARA DATA INPUT"));
    setFixedSize(DluRect(0, 0, 186, 121).size());

    promptLabel_ = new QLabel(this);
    promptLabel_->setObjectName(QStringLiteral("prompt"));
    promptLabel_->setGeometry(DluRect(7, 7, 172, 11));
    promptLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName(QStringLiteral("text"));
    editor_->setGeometry(DluRect(7, 19, 172, 77));
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    editor_->setTabChangesFocus(true);
    connect(editor_, &QPlainTextEdit::textChanged, this, &InvitationTextDialog::OnTextChanged);

    okButton_ = new QPushButton(tr("确定"), this);
    okButton_->setObjectName(QStringLiteral("ok"));
    okButton_->setGeometry(DluRect(25, 101, 50, 14));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &InvitationTextDialog::accept);

    cancelButton_ = new QPushButton(tr("取消"), this);
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    cancelButton_->setGeometry(DluRect(103, 101, 50, 14));
    connect(cancelButton_, &QPushButton::clicked, this, &InvitationTextDialog::reject);

    promptLabel_->setText(prompt);
    QString shown = QString::fromStdString(preset);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // A preset longer than the limit is cut at a character boundary.
    while (GbkBytes(shown) > kMaxBytes) shown.chop(1);
    reverting_ = true;
    editor_->setPlainText(shown);
    reverting_ = false;
    lastGood_ = shown;
    editor_->moveCursor(QTextCursor::End);
    editor_->setFocus();
}

std::string InvitationTextDialog::EditorBytes(bool* encodable) const {
    std::string typed = WithCrLf(editor_->toPlainText()).toStdString();
    if (encodable != nullptr) *encodable = GbkCodec::Utf8ToGbk(typed).has_value();
    return typed;
}

void InvitationTextDialog::OnTextChanged() {
    if (reverting_) return;
    const QString current = editor_->toPlainText();
    if (GbkBytes(current) <= kMaxBytes) {
        lastGood_ = current;
        return;
    }
    // Over the limit: the edit is undone and the caret put back where the new text began.
    const int caret = std::max(
        0, editor_->textCursor().position() - static_cast<int>(current.size() - lastGood_.size()));
    reverting_ = true;
    editor_->setPlainText(lastGood_);
    reverting_ = false;
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(std::min(caret, static_cast<int>(lastGood_.size())));
    editor_->setTextCursor(cursor);
}

void InvitationTextDialog::accept() {
    bool encodable = true;
    const std::string typed = EditorBytes(&encodable);
    if (!encodable) {
        QMessageBox::warning(this, windowTitle(),
                             tr("文本中有无法用 GBK 编码表示的字符，请删除这些字符后再确定。"));
        return;
    }
    if (GbkCodec::GbkLength(typed) > static_cast<std::size_t>(kMaxBytes)) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Please enter no more than %1 characters.").arg(kMaxBytes));
        return;
    }
    text_ = typed;
    QDialog::accept();
}

}  // namespace kelvara
