#include "app/dialogs/TFormSendMessage.h"

#include "app/dialogs/DialogArt.h"
#include "app/dialogs/UiPrompts.h"
#include "app/dialogs/MessageQuery.h"

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace corvanel::dialogs {

namespace {
QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QPushButton* PictureButton(QWidget* parent, const QString& text, const QString& icon,
                           const QRect& at) {
    auto* button = new QPushButton(QIcon(icon), text, parent);
    button->setGeometry(at);
    button->setIconSize(QSize(16, 16));
    button->setFont(PixelFont(parent->font(), 12));
    button->setAutoDefault(false);
    return button;
}
} // namespace

TFormSendMessage::TFormSendMessage(QWidget* owner, UiPrompts& prompts,
                                   MessageSenderSettings settings)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      prompts_(prompts), sender_(std::move(settings)) {
    RegisterDialogArt();
    setWindowTitle(QStringLiteral("一言メッセージ送信"));
    setFixedSize(406, 249);

    Rectangle1 = new QWidget(this);
    Rectangle1->setGeometry(0, 0, width(), 65);
    Rectangle1->setAutoFillBackground(true);
    QPalette white = Rectangle1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Rectangle1->setPalette(white);

    Line1 = new QFrame(this);
    Line1->setGeometry(0, 65, width(), 8);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    QPalette grey = Line1->palette();
    grey.setColor(QPalette::WindowText, QColor(0xA0, 0xA0, 0xA0));
    Line1->setPalette(grey);

    Label1 = new QLabel(QStringLiteral("一言メッセージ"), this);
    Label1->setGeometry(16, 8, 177, 25);
    Label1->setFont(PixelFont(font(), 20, true));
    Label2 = new QLabel(
        QStringLiteral("作者へメッセージを送ることができます。お気軽にご利用ください。"), this);
    Label2->setGeometry(32, 32, 449, 25);
    Label2->setFont(PixelFont(font(), 12));
    for (QLabel* label : {Label1, Label2}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0x20, 0x20, 0x20));
        label->setPalette(palette);
    }

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(8, 72, 393, 137);
    Memo1->setFont(PixelFont(font(), 13));

    Button1 = PictureButton(this, QStringLiteral("  送 る"), QStringLiteral(":/dialogs/send.svg"),
                            QRect(128, 216, 73, 25));
    Button2 = PictureButton(this, QStringLiteral(" 閉じる"), QStringLiteral(":/dialogs/close.svg"),
                            QRect(208, 216, 73, 25));
    connect(Button1, &QPushButton::clicked, this, &TFormSendMessage::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    Memo1->setFocus();
}

void TFormSendMessage::Button1Click() {
    const QString message = MessageFromEditorText(Memo1->toPlainText());
    if (message.isEmpty())
        return;

    // A second click must not start a second request.
    Button1->setEnabled(false);
    sender_.Start(message, [this](const SendOutcome& outcome) { SendFinished(outcome); });
}

void TFormSendMessage::done(int result) {
    sender_.Cancel();
    Button1->setEnabled(true);
    QDialog::done(result);
}

void TFormSendMessage::SendFinished(const SendOutcome& outcome) {
    Button1->setEnabled(true);
    switch (outcome.kind) {
    case SendOutcome::Kind::Delivered:
        prompts_.Inform(QStringLiteral("送信が完了しました。"));
        accept();
        break;
    case SendOutcome::Kind::Refused:
        prompts_.Error(QStringLiteral("送信に失敗しました。時間をおいてもう一度お試しください。"));
        break;
    case SendOutcome::Kind::Failed:
        prompts_.ShowFailure(outcome.errorMessage);
        break;
    }
}

} // namespace corvanel::dialogs
