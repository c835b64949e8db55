#include "app/dialogs/TVersionDlg.h"

#include "app/dialogs/DialogArt.h"
#include "app/dialogs/HelpOpener.h"
#include "app/widgets/LinkLabel.h"
#include "app/dialogs/ProgramVersion.h"

#include <QFontMetrics>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

#include <algorithm>

namespace corvanel::dialogs {

namespace {
// A picture filling its widget, drawn from SVG so that it stays sharp at any scale.
class SvgPicture final : public QWidget {
  public:
    SvgPicture(const QString& resource, QWidget* parent) : QWidget(parent), renderer_(resource) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        renderer_.render(&painter, QRectF(rect()));
    }

  private:
    QSvgRenderer renderer_;
};

// The light-blue border over the whole client area.
class FrameRectangle final : public QWidget {
  public:
    explicit FrameRectangle(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        constexpr qreal kWidth = 1.5;
        QPen pen(QColor(0xAD, 0xD8, 0xE6), kWidth);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(kWidth / 2, kWidth / 2, -kWidth / 2, -kWidth / 2));
    }
};

QFont PixelFont(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* PlacedLabel(QWidget* parent, const QString& text, const QRect& at, int pixels) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(at);
    label->setFont(PixelFont(parent->font(), pixels));
    return label;
}
} // namespace

TVersionDlg::TVersionDlg(QWidget* owner, HelpOpener& opener)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), opener_(opener) {
    RegisterDialogArt();
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(454, 280);

    Image1 = new SvgPicture(QStringLiteral(":/dialogs/version-background.svg"), this);
    Image1->setGeometry(rect());
    Rectangle1 = new FrameRectangle(this);
    Rectangle1->setGeometry(rect());

    Label1 = PlacedLabel(this, QStringLiteral("Version"), QRect(24, 80, 49, 17), 12);
    Label2 = PlacedLabel(this, QStringLiteral("1.xx"), QRect(64, 80, 89, 17), 12);
    // The two boxes overlap; keep a gap after "Version" whatever the font's width.
    const int versionEnd =
        Label1->x() + QFontMetrics(Label1->font()).horizontalAdvance(Label1->text()) + 5;
    Label2->setIndent(std::max(0, versionEnd - Label2->x()));
    Label4 = PlacedLabel(
        this, QStringLiteral("Built with Qt 6, FFmpeg, SoundTouch, SDL 2 and libsndfile."),
        QRect(24, 96, 177, 41), 11);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5 = PlacedLabel(this, QString::fromUtf8(kCopyrightLine), QRect(24, 140, 250, 41), 10);
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel* label : {Label1, Label2, Label4, Label5}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0x1D, 0x2B, 0x3F));
        label->setPalette(palette);
    }

    Label3 = new TLinkLabel(HomePageAddress().fileName(), this);
    Label3->setGeometry(296, 176, 136, 17);
    Label3->setFont(PixelFont(font(), 12));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3->setToolTip(HomePageAddress().toString());
    ApplyLinkLook(Label3, LinkLook::Resting);
    connect(Label3, &TLinkLabel::clicked, this, &TVersionDlg::Label3Click);
    connect(Label3, &TLinkLabel::mouseEntered, this, &TVersionDlg::Label3MouseEnter);
    connect(Label3, &TLinkLabel::mouseLeft, this, &TVersionDlg::Label3MouseLeave);

    Button6 = new QPushButton(QStringLiteral("閉じる"), this);
    Button6->setGeometry(24, 208, 201, 41);
    Button6->setFont(PixelFont(font(), 14, true));
    Button6->setAutoDefault(false);
    auto* opacity = new QGraphicsOpacityEffect(Button6);
    opacity->setOpacity(0.6);
    Button6->setGraphicsEffect(opacity);
    connect(Button6, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TVersionDlg::FormCreate() {
    Label2->setText(VersionWithWord());
}

void TVersionDlg::Label3Click() {
    opener_.Open(HomePageAddress());
}

void TVersionDlg::Label3MouseEnter() {
    ApplyLinkLook(qobject_cast<QLabel*>(sender()), LinkLook::Hovered);
}

void TVersionDlg::Label3MouseLeave() {
    ApplyLinkLook(qobject_cast<QLabel*>(sender()), LinkLook::Resting);
}

} // namespace corvanel::dialogs
