#include "controls/SettingsLocation.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvanel;

namespace {

struct LocationCase {
    const char* name;
    bool besideFileWritable;
    bool folderWritable;
    bool installed;
    const char* userFolder;
    const char* expected;
};

class SettingsLocation : public testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocation, ChoosesTheFileThePlacesAllow) {
    const LocationCase& c = GetParam();
    TSettingsPlaces places;
    places.Beside = "/opt/corvanel/corvanel.ini";
    places.BesideFileWritable = c.besideFileWritable;
    places.FolderWritable = c.folderWritable;
    places.Installed = c.installed;
    places.UserFolder = c.userFolder;
    EXPECT_EQ(ChooseSettingsFile(places), fs::path(c.expected));
}

constexpr const char* kBeside = "/opt/corvanel/corvanel.ini";
constexpr const char* kUser = "/home/k/.config/corvanel/corvanel.ini";

INSTANTIATE_TEST_SUITE_P(
    Places, SettingsLocation,
    testing::Values(LocationCase{"WritableFolder", false, true, false, "/home/k/.config/corvanel",
                                 kBeside},
                    LocationCase{"ReadOnlyFolderWritableFile", true, false, false,
                                 "/home/k/.config/corvanel", kBeside},
                    LocationCase{"ReadOnlyFolderNoFile", false, false, false,
                                 "/home/k/.config/corvanel", kUser},
                    LocationCase{"InstalledFolderWritableByRoot", false, true, true,
                                 "/home/k/.config/corvanel", kUser},
                    LocationCase{"InstalledWithOwnWritableFile", true, true, true,
                                 "/home/k/.config/corvanel", kBeside},
                    LocationCase{"NoUserFolderKnown", false, false, false, "", kBeside}),
    [](const testing::TestParamInfo<LocationCase>& c) { return c.param.name; });

class SettingsPlacesOnDisk : public testing::Test {
  protected:
    test::TempFolder folder;
    const fs::path root = folder.Path();
};

TEST_F(SettingsPlacesOnDisk, InstalledProgramAndXdgFolderAreFound) {
    fs::create_directories(root / "usr" / "bin");
    fs::create_directories(root / "usr" / "share" / "corvanel");
    ::setenv("XDG_CONFIG_HOME", (root / "xdg").c_str(), 1);
    const TSettingsPlaces places = ProbeSettingsPlaces(root / "usr" / "bin" / "corvanel");
    EXPECT_TRUE(places.Installed);
    EXPECT_EQ(places.UserFolder, root / "xdg" / "corvanel");
    EXPECT_EQ(ChooseSettingsFile(places), root / "xdg" / "corvanel" / "corvanel.ini");

    // A relative XDG_CONFIG_HOME is ignored for ~/.config.
    ::setenv("XDG_CONFIG_HOME", "relative/xdg", 1);
    ::setenv("HOME", root.c_str(), 1);
    EXPECT_EQ(ProbeSettingsPlaces(root / "usr" / "bin" / "corvanel").UserFolder,
              root / ".config" / "corvanel");
}

TEST_F(SettingsPlacesOnDisk, PortableFolderIsNotInstalled) {
    fs::create_directories(root / "portable");
    const TSettingsPlaces places = ProbeSettingsPlaces(root / "portable" / "corvanel");
    EXPECT_FALSE(places.Installed);
    EXPECT_TRUE(places.FolderWritable);
    EXPECT_EQ(ChooseSettingsFile(places), root / "portable" / "corvanel.ini");
}

TEST_F(SettingsPlacesOnDisk, MissingFolderIsCreatedAndAnImpossibleOneGivesAReason) {
    std::string reason;
    EXPECT_TRUE(PrepareSettingsFolder(root / "xdg" / "corvanel" / "corvanel.ini", reason));
    EXPECT_TRUE(fs::is_directory(root / "xdg" / "corvanel"));

    // A file where the folder should be stops even root.
    std::ofstream(root / "blocker") << "x";
    EXPECT_FALSE(PrepareSettingsFolder(root / "blocker" / "corvanel" / "corvanel.ini", reason));
    EXPECT_FALSE(reason.empty());
}

} // namespace
