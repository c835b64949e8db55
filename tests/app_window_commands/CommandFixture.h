#pragma once
// A freshly built main window per test, shown and active (keyboard commands act only then),
// its questions answered and its errors caught by the test.
#include "app/window/ApplicationError.h"
#include "app/window/TForm1.h"
#include "app/window/UiPrompts.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class ScriptedPrompts : public corvanel::window::UiPrompts {
  public:
    corvanel::window::PromptAnswer Ask(const QString& question,
                                       corvanel::window::PromptIcon icon) override {
        asked << question;
        icons << icon;
        return answer;
    }
    void Inform(const QString& text) override { shown << text; }
    void Warn(const QString& text) override { shown << text; }
    void Error(const QString& text) override { shown << text; }
    QString OpenFile(const QString&) override {
        ++openDialogs;
        return {};
    }
    QString SaveFile(const corvanel::window::SaveFileRequest&) override {
        ++saveDialogs;
        return {};
    }

    corvanel::window::PromptAnswer answer = corvanel::window::PromptAnswer::No;
    QStringList asked;
    QList<corvanel::window::PromptIcon> icons;
    QStringList shown;
    int openDialogs = 0;
    int saveDialogs = 0;
};

class CommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        corvanel::window::SetApplicationErrorDisplay(
            [this](const QString& message) { errors << message; });
        form = std::make_unique<TForm1>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        form->SetPrompts(std::move(scripted));
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override {
        form.reset();
        corvanel::window::SetApplicationErrorDisplay({});
    }

    std::unique_ptr<TForm1> form;
    ScriptedPrompts* prompts = nullptr;
    QStringList errors;
};
