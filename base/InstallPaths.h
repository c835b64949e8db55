#pragma once
// Where Corvanel's files live: beside the program (a portable copy or the build tree), in the
// user's configuration folder, or in the installed data folders. The installed folders are
// found relative to the program, so an install under any prefix works.
//
// Threads: any (reads the environment and the file system only).
#include <filesystem>

namespace corvanel {

// $XDG_CONFIG_HOME/corvanel, or $HOME/.config/corvanel when XDG_CONFIG_HOME is unset, empty
// or relative (such a value is to be ignored). Empty when neither variable helps.
std::filesystem::path UserConfigFolder();

// <prefix>/share/corvanel for a program installed in <prefix>/bin.
std::filesystem::path InstalledDataFolder(const std::filesystem::path& executableFolder);
// <prefix>/share/doc/corvanel for a program installed in <prefix>/bin.
std::filesystem::path InstalledDocFolder(const std::filesystem::path& executableFolder);
// Whether the program runs from an install (its data folder is there), not from a build tree
// or a portable folder.
bool IsInstalledProgram(const std::filesystem::path& executableFolder);

} // namespace corvanel
