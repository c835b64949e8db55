#pragma once
// The "one-line message" dialog: a memo and a send button that delivers the text to the
// author's endpoint. Client area 406 x 249, fixed border, close box only. UI thread only.

#include "app/dialogs/MessageSender.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace corvanel::dialogs {

class UiPrompts;

class TFormSendMessage : public QDialog {
    Q_OBJECT
  public:
    TFormSendMessage(QWidget* owner, UiPrompts& prompts, MessageSenderSettings settings);

    QWidget* Rectangle1 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

  public slots:
    // Starts sending the memo's text; the dialog closes only when the author's endpoint
    // confirms it. The send button stays disabled until the outcome is in.
    void Button1Click();
    // Closing the dialog (close box, 閉じる) cancels a send under way.
    void done(int result) override;

  private:
    void SendFinished(const SendOutcome& outcome);

    UiPrompts& prompts_;
    MessageSender sender_;
};

} // namespace corvanel::dialogs
