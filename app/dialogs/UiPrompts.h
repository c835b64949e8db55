#pragma once
// Every modal question, message box and file dialog of the main window and of its dialogs
// goes through this interface, so that tests can answer them; so does the application's error
// display (ApplicationError). UI thread only.
//
// Boxes carry the program's title as their caption. File filters are "|"-separated pairs of
// display text and patterns, patterns separated by ";": "Wave (*.wav)|*.wav|MP3 (*.mp3)|*.mp3".
// A trailing "|" is allowed.

#include <QString>
#include <QStringList>

#include <functional>

class QComboBox;
class QWidget;

namespace corvanel::dialogs {

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
    // A failure that ended an operation, with its own message: an error box with one OK
    // button over whichever window is active.
    virtual void ShowFailure(const QString& message) = 0;
    // The chosen path, or an empty string when cancelled. The first filter is selected.
    virtual QString OpenFile(const QString& filter) = 0;
    // Asks before overwriting an existing file. Empty when cancelled.
    virtual QString SaveFile(const SaveFileRequest& request) = 0;
};

// The real boxes and dialogs, modal over `owner` (over the active window when there is
// none). `listLook` is applied to every drop-down list of the file dialogs.
class MessageBoxPrompts final : public UiPrompts {
  public:
    explicit MessageBoxPrompts(QWidget* owner = nullptr,
                               std::function<void(QComboBox*)> listLook = {});

    PromptAnswer Ask(const QString& question, PromptIcon icon) override;
    void Inform(const QString& text) override;
    void Warn(const QString& text) override;
    void Error(const QString& text) override;
    void ShowFailure(const QString& message) override;
    QString OpenFile(const QString& filter) override;
    QString SaveFile(const SaveFileRequest& request) override;

  private:
    QWidget* Owner() const;

    QWidget* FOwner;
    std::function<void(QComboBox*)> FListLook;
};

// "|"-separated filter text as Qt's list of "Text (patterns)" entries. The patterns are
// added to the text unless the text already ends with them in parentheses; empty pairs
// are skipped.
QStringList QtFileFilters(const QString& pipeFilter);

} // namespace corvanel::dialogs
