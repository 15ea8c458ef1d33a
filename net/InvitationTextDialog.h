#pragma once

#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QPlainTextEdit;

namespace kelvara {

// Modal dialog that asks for a message text under a one-line prompt. `prompt` and `text` are
// GBK bytes: set them, run exec(); after OK `text` holds what the user typed (line breaks as
// CR LF, at most kMaxBytes bytes), after Cancel it keeps the preset value.
class InvitationTextDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kMaxBytes = 512;

    explicit InvitationTextDialog(QWidget* owner = nullptr);

    std::string prompt;
    std::string text;

    int exec() override;
    void accept() override;

    QPlainTextEdit* Editor() const { return editor_; }
    // The editor's text as the bytes that OK would store.
    std::string EditorBytes(bool* encodable = nullptr) const;

  private:
    void OnTextChanged();

    QLabel* promptLabel_;
    QPlainTextEdit* editor_;
    QString lastGood_;
    bool reverting_ = false;
};

}  // namespace kelvara
