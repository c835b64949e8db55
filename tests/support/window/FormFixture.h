#pragma once
// The window tests' fixtures: a freshly built main window per test, its questions answered by
// the test (FormTest); the same shown and active, with the application's errors caught too
// (CommandTest: keyboard commands act only on the active window).
#include "app/window/ApplicationError.h"
#include "app/window/TForm1.h"
#include "tests/support/window/ScriptedPrompts.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using corvanel::test::ScriptedPrompts;

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<TForm1>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        form->SetPrompts(std::move(scripted));
    }

    template <typename T = QWidget> T* Control(const char* name) const {
        auto* control = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // The control's rectangle in the coordinates of `reference` (any widget of the form).
    QRect RectIn(const QWidget* control, const QWidget* reference) const {
        const QPoint origin =
            control->mapTo(form.get(), QPoint(0, 0)) - reference->mapTo(form.get(), QPoint(0, 0));
        return QRect(origin, control->size());
    }

    std::unique_ptr<TForm1> form;
    ScriptedPrompts* prompts = nullptr;
};

class CommandTest : public FormTest {
  protected:
    void SetUp() override {
        corvanel::window::SetApplicationPrompts(&applicationPrompts);
        FormTest::SetUp();
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
};
