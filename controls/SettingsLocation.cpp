#include "controls/SettingsLocation.h"

#include "base/InstallPaths.h"
#include "controls/Settings.h"

#include <system_error>
#include <unistd.h>

namespace corvanel {

namespace {

bool Writable(const std::filesystem::path& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

} // namespace

TSettingsPlaces ProbeSettingsPlaces(const std::filesystem::path& executable) {
    TSettingsPlaces places;
    places.Beside = SettingsFilePath(executable);
    std::error_code error;
    places.BesideFileWritable =
        std::filesystem::is_regular_file(places.Beside, error) && Writable(places.Beside);
    const std::filesystem::path folder = executable.parent_path();
    places.FolderWritable = Writable(folder.empty() ? std::filesystem::path(".") : folder);
    places.Installed = IsInstalledProgram(folder);
    places.UserFolder = UserConfigFolder();
    return places;
}

std::filesystem::path ChooseSettingsFile(const TSettingsPlaces& places) {
    if (places.BesideFileWritable || (places.FolderWritable && !places.Installed) ||
        places.UserFolder.empty())
        return places.Beside;
    return places.UserFolder / "corvanel.ini";
}

bool PrepareSettingsFolder(const std::filesystem::path& file, std::string& reason) {
    const std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        return true;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        reason = error.message();
        return false;
    }
    return true;
}

} // namespace corvanel
