#pragma once
// The about box: version, credits and the home-page link over our own artwork.
// Client area 454 x 280, tool-window border without title-bar buttons. UI thread only.

#include <QDialog>

class QLabel;
class QPushButton;

namespace corvanel::dialogs {

class HelpOpener;
class TLinkLabel;

class TVersionDlg : public QDialog {
    Q_OBJECT
  public:
    TVersionDlg(QWidget* owner, HelpOpener& opener);

    QWidget* Image1 = nullptr;
    QWidget* Rectangle1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    TLinkLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr; // copyright and licence
    QPushButton* Button6 = nullptr;

  public slots:
    void FormCreate();
    void Label3Click();
    void Label3MouseEnter();
    void Label3MouseLeave();

  private:
    HelpOpener& opener_;
};

} // namespace corvanel::dialogs
