#pragma once
// Message boxes and questions that the dialogs raise, behind one small interface so that
// tests can answer them. UI thread only.

class QString;
class QWidget;

namespace corvanel::dialogs {

class DialogPrompts {
  public:
    virtual ~DialogPrompts() = default;

    // Modal Yes/No question with a question icon; true only when the answer is Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& question) = 0;
    // Outcome boxes with one OK button.
    virtual void Information(QWidget* parent, const QString& text) = 0;
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // The application's general error display: a failure that ended an operation, shown
    // with its own message.
    virtual void ShowError(const QString& message) = 0;
};

// The real thing: QMessageBox boxes over the given parent (or the active window).
class MessageBoxPrompts final : public DialogPrompts {
  public:
    bool AskYesNo(QWidget* parent, const QString& question) override;
    void Information(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    void ShowError(const QString& message) override;
};

} // namespace corvanel::dialogs
