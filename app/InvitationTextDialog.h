#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kelvara {

// Modal dialog that asks for a message text (an invitation's or a refusal's) under a one-line
// prompt, preset with `preset` (UTF-8). After OK Text() holds what the user typed (line breaks
// as CR LF, at most kMaxBytes bytes once encoded to GBK, as the message carries it); until
// then, and after Cancel, the preset.
class InvitationTextDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kMaxBytes = 512;

    InvitationTextDialog(QWidget* owner, const QString& prompt, const std::string& preset);

    const std::string& Text() const { return text_; }

    void accept() override;

    QLabel* PromptLabel() const { return promptLabel_; }
    QPlainTextEdit* Editor() const { return editor_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    // The editor's text as OK would store it; `encodable` is false when GBK cannot hold it.
    std::string EditorBytes(bool* encodable = nullptr) const;

  private:
    void OnTextChanged();

    std::string text_;
    QLabel* promptLabel_;
    QPlainTextEdit* editor_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QString lastGood_;
    bool reverting_ = false;
};

}  // namespace kelvara
