#pragma once
// The "one-line message" dialog: a memo and a send button that delivers the text to the
// author's endpoint. Client area 406 x 249, fixed border, close box only. UI thread only.

#include "MessageSender.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace corvanel::dialogs {

class DialogPrompts;

class TFormSendMessage : public QDialog {
    Q_OBJECT
  public:
    TFormSendMessage(QWidget* owner, DialogPrompts& prompts, MessageSenderSettings settings);

    QWidget* Rectangle1 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

  public slots:
    // Sends the memo's text; closes the dialog only when the author's endpoint confirmed it.
    void Button1Click();

  private:
    DialogPrompts& prompts_;
    MessageSender sender_;
};

} // namespace corvanel::dialogs
