#pragma once
// Which settings file the window reads and writes. A portable copy keeps it beside the
// program, as always; an installed program (or one whose folder it may not write) keeps it
// per user under the XDG configuration folder.
//
// Threads: UI thread.
#include <filesystem>
#include <string>

namespace corvanel {

// What the choice depends on, found on the file system by ProbeSettingsPlaces.
struct TSettingsPlaces {
    std::filesystem::path Beside;     // the program's name with ".ini", in its folder
    bool BesideFileWritable = false;  // that file exists and may be written
    bool FolderWritable = false;      // the program's folder may be written
    bool Installed = false;           // the program runs from an install
    std::filesystem::path UserFolder; // $XDG_CONFIG_HOME/corvanel; empty when unknown
};

TSettingsPlaces ProbeSettingsPlaces(const std::filesystem::path& executable);

// Beside the program when its settings file there may be written, or when its folder may be
// written and it is not installed (root may write /usr/bin, which is still no place for
// settings); otherwise UserFolder/corvanel.ini. With no user folder known, beside.
std::filesystem::path ChooseSettingsFile(const TSettingsPlaces& places);

// Creates the file's folder when it is missing. False with a reason when it cannot.
bool PrepareSettingsFolder(const std::filesystem::path& file, std::string& reason);

} // namespace corvanel
