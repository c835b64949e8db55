#pragma once
// One-line entry points for the main window's handlers. Each dialog is created owned by
// the main window, centred over it, shown modally and released when it closes.
// UI thread only.

#include "app/dialogs/MessageSender.h"

class QLabel;
class QWidget;

namespace corvanel::dialogs {

class HelpOpener;
class UiPrompts;

// The program's own implementations, for handlers that have nothing to inject.
UiPrompts& DefaultPrompts();
HelpOpener& DefaultHelpOpener();

// VersionLabelClick.
void ShowVersionDialog(QWidget* mainWindow, HelpOpener& opener = DefaultHelpOpener());

// Button6Click. The endpoint comes from MessageEndpoint() unless settings are given.
void ShowSendMessageDialog(QWidget* mainWindow, UiPrompts& prompts);
void ShowSendMessageDialog(QWidget* mainWindow, UiPrompts& prompts,
                           const MessageSenderSettings& settings);

// Button7Click: asks "オンラインヘルプを開きますか？" and opens the manual only on Yes.
void AskAndOpenHelp(QWidget* mainWindow, UiPrompts& prompts, HelpOpener& opener);

// VersionLabelMouseEnter / VersionLabelMouseLeave.
void VersionLabelHover(QLabel* versionLabel, bool entered);

} // namespace corvanel::dialogs
