// What the build puts beside the program for the window: the skin folder, the
// user guide with working links, the icon and a desktop entry that starts the
// program in the folder that holds its skin.
#include "skin/SkinFiles.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;

std::string DesktopValue(const std::string& entry, const std::string& key)
{
    std::istringstream lines(entry);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

TEST(InstalledSkin, IsACopyOfTheCommittedFolder)
{
    std::size_t files = 0;
    for (const auto& item : fs::directory_iterator(CommittedSkin())) {
        ++files;
        const std::string name = item.path().filename().string();
        EXPECT_EQ(ReadWholeFile(InstalledSkin() + "/" + name), ReadWholeFile(item.path().string())) << name;
    }
    EXPECT_EQ(files, 17u);
}

TEST(InstalledGuide, EveryLinkAndPictureOfItsPagesIsThere)
{
    const fs::path folder = DISCFORGE_BIN_DIR "/help";
    ASSERT_TRUE(fs::exists(folder / "index.html"));
    const std::regex idPattern(R"re(id="([^"]+)")re");
    const std::regex linkPattern(R"re((?:href|src)="([^"]+)")re");
    std::size_t links = 0;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.path().extension() != ".html") {
            continue;
        }
        const std::string page = ReadWholeFile(item.path().string());
        std::set<std::string> ids;
        for (std::sregex_iterator i(page.begin(), page.end(), idPattern), end; i != end; ++i) {
            ids.insert((*i)[1]);
        }
        for (std::sregex_iterator i(page.begin(), page.end(), linkPattern), end; i != end; ++i) {
            const std::string target = (*i)[1];
            ++links;
            if (target.rfind("http", 0) == 0) {
                continue;
            }
            if (target[0] == '#') {
                EXPECT_TRUE(ids.count(target.substr(1))) << item.path().filename() << ": no " << target;
            } else {
                EXPECT_TRUE(fs::exists(folder / target)) << item.path().filename() << ": no " << target;
            }
        }
    }
    EXPECT_GT(links, 10u);
}

TEST(DesktopEntry, StartsTheProgramInTheFolderThatHoldsItsSkin)
{
    const std::string entry = ReadWholeFile(DISCFORGE_BIN_DIR "/ferrowick-discforge.desktop");
    ASSERT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(DesktopValue(entry, "Type"), "Application");
    EXPECT_EQ(DesktopValue(entry, "Name"), "Ferrowick Discforge");
    const fs::path folder = DesktopValue(entry, "Path");
    EXPECT_TRUE(fs::exists(folder / "UI" / "position.txt")) << folder;
    EXPECT_EQ(DesktopValue(entry, "Exec"), "\"" + (folder / "discforge").string() + "\"");
    EXPECT_TRUE(fs::exists(DesktopValue(entry, "Icon"))) << DesktopValue(entry, "Icon");
}

} // namespace
} // namespace discforge::test
