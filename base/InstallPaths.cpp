#include "base/InstallPaths.h"

#include <cstdlib>
#include <system_error>

namespace corvanel {

namespace {

std::filesystem::path EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::filesystem::path(value) : std::filesystem::path();
}

} // namespace

std::filesystem::path UserConfigFolder() {
    const std::filesystem::path xdg = EnvironmentPath("XDG_CONFIG_HOME");
    if (xdg.is_absolute())
        return xdg / "corvanel";
    const std::filesystem::path home = EnvironmentPath("HOME");
    if (home.is_absolute())
        return home / ".config" / "corvanel";
    return {};
}

std::filesystem::path InstalledDataFolder(const std::filesystem::path& executableFolder) {
    return (executableFolder / CORVANEL_BIN_TO_DATA).lexically_normal();
}

std::filesystem::path InstalledDocFolder(const std::filesystem::path& executableFolder) {
    return (executableFolder / CORVANEL_BIN_TO_DOC).lexically_normal();
}

bool IsInstalledProgram(const std::filesystem::path& executableFolder) {
    std::error_code error;
    return std::filesystem::is_directory(InstalledDataFolder(executableFolder), error);
}

} // namespace corvanel
