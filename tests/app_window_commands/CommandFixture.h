#pragma once
// A freshly built main window per test, shown and active (keyboard commands act only then),
// its questions answered and its errors caught by the test.
#include "app/window/ApplicationError.h"
#include "app/window/TForm1.h"
#include "tests/app_dialogs/ScriptedPrompts.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using corvanel::test::ScriptedPrompts;

class CommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        corvanel::window::SetApplicationPrompts(&applicationPrompts);
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
        corvanel::window::SetApplicationPrompts(nullptr);
    }

    // The application's error display.
    ScriptedPrompts applicationPrompts;
    QStringList& errors = applicationPrompts.failures;
    std::unique_ptr<TForm1> form;
    ScriptedPrompts* prompts = nullptr;
};
