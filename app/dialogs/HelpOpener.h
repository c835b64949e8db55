#pragma once
// Opens an address (the manual, the home page) in the user's default browser, behind an
// interface so that tests can see what would have been opened. UI thread only.

#include <QUrl>

namespace corvanel::dialogs {

class HelpOpener {
  public:
    virtual ~HelpOpener() = default;
    // Failures are not reported: the caller does not look at the outcome.
    virtual void Open(const QUrl& address) = 0;
};

// QDesktopServices::openUrl, the platform's "open" for the address.
class DesktopHelpOpener final : public HelpOpener {
  public:
    void Open(const QUrl& address) override;
};

// The manual installed beside the program (manual.html in the executable's folder).
QUrl ManualAddress();
// The home page shown in the about dialog; the manual is the program's home page.
QUrl HomePageAddress();

} // namespace corvanel::dialogs
