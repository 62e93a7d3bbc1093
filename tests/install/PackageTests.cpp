// The Debian package CPack makes of this build: it holds the installed tree under /usr
// and names the libraries, plug-ins and tools the program needs at run time.
#include "InstalledTree.h"

#include "support/TestFolder.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;

// The package names in a Depends-style field, without their version bounds.
std::set<std::string> PackageNames(const std::string& field)
{
    std::set<std::string> names;
    const std::regex name(R"(([a-z0-9][a-z0-9.+-]*)\s*(\([^)]*\))?\s*(,|\||$))");
    for (std::sregex_iterator i(field.begin(), field.end(), name), end; i != end; ++i) {
        names.insert((*i)[1]);
    }
    return names;
}

std::string Field(const std::string& info, const std::string& name)
{
    std::smatch found;
    return std::regex_search(info, found, std::regex("\\n " + name + ": ([^\\n]*)")) ? found[1].str() : std::string();
}

class DebianPackage : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new TestFolder;
        const ToolRun run = RunTool(
            DISCFORGE_CPACK, {"-G", "DEB", "--config", DISCFORGE_BUILD_DIR "/CPackConfig.cmake", "-B", folder->Path()});
        if (run.exitCode != 0) {
            problem = "cpack failed: " + run.out + run.err;
            return;
        }
        for (const auto& item : fs::directory_iterator(folder->Path())) {
            if (item.path().extension() == ".deb") {
                package = item.path().string();
            }
        }
        if (package.empty()) {
            problem = "cpack made no .deb: " + run.out;
        }
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(problem.empty()) << problem; }

    static TestFolder* folder;
    static std::string package;
    static std::string problem;
};

TestFolder* DebianPackage::folder = nullptr;
std::string DebianPackage::package;
std::string DebianPackage::problem;

TEST_F(DebianPackage, HoldsTheInstalledFilesUnderUsr)
{
    const ToolRun run = RunTool("dpkg-deb", {"-c", package});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::set<std::string> paths;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        // "-rwxr-xr-x root/root 12345 2026-12-10 12:00 ./usr/bin/discforge", links with " -> target".
        std::smatch found;
        ASSERT_TRUE(std::regex_search(line, found, std::regex(R"( (\./[^ ]*)( -> .*)?$)"))) << line;
        paths.insert(found[1]);
        EXPECT_EQ(found[1].str().rfind("./usr", 0), 0u) << line;
        EXPECT_NE(line.find(" root/root "), std::string::npos) << "owned by root: " << line;
    }
    for (const char* expected : {"./usr/bin/discforge", "./usr/bin/discforge-cli",
             "./usr/lib/ferrowick-discforge/libconvert.so", "./usr/lib/ferrowick-discforge/ShowTips",
             "./usr/share/ferrowick-discforge/ShowTips", "./usr/share/ferrowick-discforge/UI/position.txt",
             "./usr/share/ferrowick-discforge/help/index.html", "./usr/share/applications/ferrowick-discforge.desktop",
             "./usr/share/icons/hicolor/48x48/apps/ferrowick-discforge.png",
             "./usr/share/icons/hicolor/256x256/apps/ferrowick-discforge.png",
             "./usr/share/metainfo/org.ferrowick.discforge.metainfo.xml"}) {
        EXPECT_TRUE(paths.count(expected)) << expected;
    }
}

TEST_F(DebianPackage, NamesWhatTheProgramNeedsToRun)
{
    const ToolRun run = RunTool("dpkg-deb", {"-I", package});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string info = "\n" + run.out;
    EXPECT_EQ(Field(info, "Package"), "ferrowick-discforge");
    EXPECT_EQ(Field(info, "Version"), "3.60");
    EXPECT_EQ(Field(info, "Section"), "video");
    EXPECT_FALSE(Field(info, "Maintainer").empty());
    const ToolRun architecture = RunTool("dpkg", {"--print-architecture"});
    EXPECT_EQ(Field(info, "Architecture") + "\n", architecture.out);

    const std::set<std::string> depends = PackageNames(Field(info, "Depends"));
    // Found by dpkg-shlibdeps in the programs and the encoder library ...
    for (const char* library : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libavcodec59",
             "libavformat59", "libavutil57", "libswscale6", "libswresample4", "libjpeg62-turbo"}) {
        EXPECT_TRUE(depends.count(library)) << library << " in " << Field(info, "Depends");
    }
    // ... and what it loads by name: Qt's window-system plug-ins, the script inputs' filter libraries.
    for (const char* loaded : {"qt6-qpa-plugins", "libavfilter8", "libavdevice59"}) {
        EXPECT_TRUE(depends.count(loaded)) << loaded << " in " << Field(info, "Depends");
    }
    const std::set<std::string> recommends = PackageNames(Field(info, "Recommends"));
    for (const char* tool : {"dvdauthor", "vcdimager", "genisoimage"}) {
        EXPECT_TRUE(recommends.count(tool)) << tool;
    }
}

} // namespace
} // namespace discforge::test
