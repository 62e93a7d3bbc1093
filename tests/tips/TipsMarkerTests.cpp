// Where the tips marker is kept: in the user's config folder, found alike by
// the converter and the tips program; a marker left in the program's own
// folder by an older version is taken over once, and turning the tips off
// afterwards sticks.
#include "StartupFlag.h"
#include "platform/UserFiles.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;

TEST(TipsMarker, LivesInTheUsersConfigFolderForBothPrograms)
{
    TestFolder folder;
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = before != nullptr ? before : "";
    setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
    const std::string converter = TipsMarkerPath();
    const std::string tipsProgram = tips::MarkerPath().toStdString();
    if (before != nullptr) {
        setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    EXPECT_EQ(converter, folder.File("config") + "/ferrowick-discforge/show.flg");
    EXPECT_EQ(tipsProgram, converter);
}

TEST(TipsMarker, TheTipsProgramMakesTheUsersFolderWhenTheTipsAreTurnedOn)
{
    TestFolder folder;
    const QString marker = QString::fromStdString(folder.File("config/ferrowick-discforge/show.flg"));
    EXPECT_TRUE(tips::SetFlag(marker, true));
    EXPECT_TRUE(fs::exists(marker.toStdString()));
    EXPECT_TRUE(tips::SetFlag(marker, false));
    EXPECT_FALSE(fs::exists(marker.toStdString()));
}

TEST(TipsMarker, AnOldMarkerBesideTheProgramIsTakenOverOnce)
{
    TestFolder folder;
    const std::string user = folder.File("config/ferrowick-discforge/show.flg");
    const std::string old = folder.File("program/show.flg");
    fs::create_directories(folder.File("program"));
    EXPECT_FALSE(TipsWanted(user, old)) << "no marker anywhere";
    EXPECT_FALSE(fs::exists(user));

    std::ofstream(old).close();
    EXPECT_TRUE(TipsWanted(user, old));
    EXPECT_TRUE(fs::exists(user)) << "taken over into the user's folder";
    fs::remove(old);
    EXPECT_TRUE(TipsWanted(user, old)) << "the user's marker alone asks";

    // Turned off in the tips window, while the read-only old marker stays.
    std::ofstream(old).close();
    fs::remove(user);
    EXPECT_FALSE(TipsWanted(user, old)) << "the old place is read once only";
    EXPECT_FALSE(fs::exists(user));

    EXPECT_TRUE(TipsWanted("", old)) << "without a config folder the old place decides";
    fs::remove(old);
    EXPECT_FALSE(TipsWanted("", old));
}

} // namespace
} // namespace discforge::test
