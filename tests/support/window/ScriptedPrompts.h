#pragma once
// The prompts of the window and its dialogs answered by a test: questions get `answer`, file
// dialogs `openPath` / `savePath`, and every box, question and dialog is recorded in order.

#include "app/dialogs/UiPrompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace corvanel::test {

struct PromptCall {
    enum class Kind { Ask, Inform, Warn, Error, Failure };
    Kind kind;
    QString text;
};

class ScriptedPrompts final : public dialogs::UiPrompts {
  public:
    dialogs::PromptAnswer answer = dialogs::PromptAnswer::No;
    QString openPath; // the open dialog's answer; empty: cancelled
    QString savePath; // the save dialog's answer; empty: cancelled

    std::vector<PromptCall> calls;    // questions and boxes, in order
    QStringList asked;                // the questions' texts
    QList<dialogs::PromptIcon> icons; // and their icons
    QStringList shown;                // the outcome boxes' texts
    QStringList failures;             // ShowFailure's messages
    int openDialogs = 0;
    std::vector<dialogs::SaveFileRequest> requests; // the save dialogs

    // The outcome boxes alone (Inform, Warn, Error), in order.
    std::vector<PromptCall> Boxes() const {
        std::vector<PromptCall> boxes;
        for (const PromptCall& call : calls)
            if (call.kind != PromptCall::Kind::Ask && call.kind != PromptCall::Kind::Failure)
                boxes.push_back(call);
        return boxes;
    }

    dialogs::PromptAnswer Ask(const QString& question, dialogs::PromptIcon icon) override {
        calls.push_back({PromptCall::Kind::Ask, question});
        asked << question;
        icons << icon;
        return answer;
    }
    void Inform(const QString& text) override { Box(PromptCall::Kind::Inform, text); }
    void Warn(const QString& text) override { Box(PromptCall::Kind::Warn, text); }
    void Error(const QString& text) override { Box(PromptCall::Kind::Error, text); }
    void ShowFailure(const QString& message) override {
        calls.push_back({PromptCall::Kind::Failure, message});
        failures << message;
    }
    QString OpenFile(const QString&) override {
        ++openDialogs;
        return openPath;
    }
    QString SaveFile(const dialogs::SaveFileRequest& request) override {
        requests.push_back(request);
        return savePath;
    }

  private:
    void Box(PromptCall::Kind kind, const QString& text) {
        calls.push_back({kind, text});
        shown << text;
    }
};

} // namespace corvanel::test
