#pragma once
// A main window opened and closed like the program does it, over a settings file in a fresh
// folder of its own; failures shown by the application's error display are collected.
#include "app/window/ApplicationError.h"
#include "tests/support/window/FormFixture.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class LifecycleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousSettings = qgetenv("CORVANEL_SETTINGS");
        UseSettingsFile(Folder() / "corvanel.ini");
        corvanel::window::SetApplicationPrompts(&applicationPrompts);
    }

    void TearDown() override {
        form.reset();
        corvanel::window::SetApplicationPrompts(nullptr);
        qputenv("CORVANEL_SETTINGS", previousSettings);
    }

    std::filesystem::path Folder() const { return folder.path().toStdString(); }

    void UseSettingsFile(const std::filesystem::path& file) {
        settings = file;
        qputenv("CORVANEL_SETTINGS", QByteArray::fromStdString(file.string()));
    }

    void WriteSettings(const std::string& text) const {
        std::ofstream(settings, std::ios::binary) << text;
    }

    std::string SettingsText() const {
        std::ifstream in(settings, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Creating the window runs its start-up, settings loader included.
    void Open() {
        form = std::make_unique<TForm1>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        form->SetPrompts(std::move(scripted));
    }

    // Closing the window shuts the program down: settings saved, audio freed.
    void Close() {
        form->close();
        form.reset();
    }

    void Reopen() {
        Close();
        Open();
    }

    // The application's error display.
    ScriptedPrompts applicationPrompts;
    QStringList& errors = applicationPrompts.failures;
    QTemporaryDir folder;
    QByteArray previousSettings;
    std::filesystem::path settings;
    std::unique_ptr<TForm1> form;
    ScriptedPrompts* prompts = nullptr;
};
