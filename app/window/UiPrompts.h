#pragma once
// Every modal question, message box and file dialog of the main window goes through this
// interface, so that tests can answer them. UI thread only.
//
// File filters are "|"-separated pairs of display text and patterns, patterns separated by
// ";": "Wave (*.wav)|*.wav|MP3 (*.mp3)|*.mp3". A trailing "|" is allowed.

#include <QString>
#include <QStringList>

class QWidget;

namespace corvanel::window {

enum class PromptIcon { Information, Question, Warning, Error };
// Other: the box was closed some other way than with Yes or No.
enum class PromptAnswer { Yes, No, Other };

struct SaveFileRequest {
    QString filter;           // "|"-separated, as above
    QString fileName;         // proposed name, without a folder
    QString defaultExtension; // ".wav": added when the typed name has none
};

class UiPrompts {
  public:
    virtual ~UiPrompts() = default;

    // A Yes/No box with the given icon.
    virtual PromptAnswer Ask(const QString& question, PromptIcon icon) = 0;
    // Outcome boxes with one OK button.
    virtual void Inform(const QString& text) = 0;
    virtual void Warn(const QString& text) = 0;
    virtual void Error(const QString& text) = 0;
    // The chosen path, or an empty string when cancelled. The first filter is selected.
    virtual QString OpenFile(const QString& filter) = 0;
    // Asks before overwriting an existing file. Empty when cancelled.
    virtual QString SaveFile(const SaveFileRequest& request) = 0;
};

// The real boxes and dialogs, modal over `owner`.
class MessageBoxPrompts final : public UiPrompts {
  public:
    explicit MessageBoxPrompts(QWidget* owner) : FOwner(owner) {}

    PromptAnswer Ask(const QString& question, PromptIcon icon) override;
    void Inform(const QString& text) override;
    void Warn(const QString& text) override;
    void Error(const QString& text) override;
    QString OpenFile(const QString& filter) override;
    QString SaveFile(const SaveFileRequest& request) override;

  private:
    QWidget* FOwner;
};

// "|"-separated filter text as Qt's list of "Text (patterns)" entries. The patterns are
// added to the text unless the text already ends with them in parentheses; empty pairs
// are skipped.
QStringList QtFileFilters(const QString& pipeFilter);

} // namespace corvanel::window
