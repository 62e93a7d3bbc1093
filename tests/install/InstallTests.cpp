// `cmake --install` into a scratch DESTDIR: every file where a Linux desktop expects
// it, and the installed programs, started from another folder with nothing of the
// build on their paths, find their skin, guide and encoder library and convert a clip.
#include "InstalledTree.h"

#include "app/AppPaths.h"
#include "e2e/OutputDecoder.h"
#include "e2e/UserClips.h"
#include "support/TestFolder.h"
#include "ui/SkinLayout.h"
#include "ui/screen/XServer.h"
#include "TestPaths.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;

class InstalledProgram : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        destdir = new TestFolder;
        installError = InstallInto(destdir->Path());
    }
    static void TearDownTestSuite()
    {
        delete destdir;
        destdir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installError.empty()) << installError; }

    static std::string Installed(const std::string& path) { return destdir->Path() + "/" + path; }

    static TestFolder* destdir;
    static std::string installError;
};

TestFolder* InstalledProgram::destdir = nullptr;
std::string InstalledProgram::installError;

TEST_F(InstalledProgram, PutsEachFileWhereTheDesktopLooksForIt)
{
    const std::vector<std::string> files = FilesBelow(destdir->Path());
    const std::set<std::string> present(files.begin(), files.end());
    for (const std::string expected :
        {"usr/bin/discforge", "usr/bin/discforge-cli", "usr/lib/ferrowick-discforge/libconvert.so",
            "usr/lib/ferrowick-discforge/ShowTips", "usr/share/ferrowick-discforge/ShowTips",
            "usr/share/ferrowick-discforge/UI/position.txt", "usr/share/ferrowick-discforge/UI/interface.jpg",
            "usr/share/ferrowick-discforge/help/index.html", "usr/share/ferrowick-discforge/ferrowick-discforge.png",
            "usr/share/applications/ferrowick-discforge.desktop",
            "usr/share/metainfo/org.ferrowick.discforge.metainfo.xml"}) {
        EXPECT_TRUE(present.count(expected)) << expected;
    }
    // Nothing outside the prefix, and none of the build's test or developer programs.
    for (const std::string& file : files) {
        EXPECT_EQ(file.rfind("usr/", 0), 0u) << file;
        EXPECT_EQ(file.find("test"), std::string::npos) << file;
        EXPECT_EQ(file.find("skingen"), std::string::npos) << file;
        EXPECT_EQ(file.find("mediagen"), std::string::npos) << file;
    }
    std::size_t skinFiles = 0;
    for (const auto& item : fs::directory_iterator(Installed(dataFolder) + "/UI")) {
        skinFiles += item.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(skinFiles, 17u);
    // The converter starts the tips program from its working folder, the data folder.
    EXPECT_EQ(
        fs::canonical(Installed(dataFolder) + "/ShowTips"), fs::canonical(Installed(libraryFolder) + "/ShowTips"));
}

TEST_F(InstalledProgram, DrawsItsIconAtEveryHicolorSize)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const std::string side = std::to_string(size);
        const std::string path
            = Installed("usr/share/icons/hicolor/" + side + "x" + side + "/apps/ferrowick-discforge.png");
        QImage icon;
        ASSERT_TRUE(icon.load(QString::fromStdString(path))) << path;
        EXPECT_EQ(icon.size(), QSize(size, size)) << path;
        // A drawn mark: the corner is transparent and the middle is not.
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << path;
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << path;
    }
}

TEST_F(InstalledProgram, DesktopEntryAndAppStreamRecordNameTheInstalledProgram)
{
    const std::string entry = ReadWholeFile(Installed("usr/share/applications/ferrowick-discforge.desktop"));
    ASSERT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(DesktopValue(entry, "Exec"), "\"/usr/bin/discforge\"");
    EXPECT_EQ(DesktopValue(entry, "Path"), "/usr/share/ferrowick-discforge");
    EXPECT_EQ(DesktopValue(entry, "Icon"), "ferrowick-discforge");
    EXPECT_EQ(DesktopValue(entry, "Name"), "Ferrowick Discforge");
    // As desktop menus and software centres read them.
    const ToolRun entryCheck
        = RunTool("desktop-file-validate", {Installed("usr/share/applications/ferrowick-discforge.desktop")});
    EXPECT_EQ(entryCheck.exitCode, 0) << entryCheck.out << entryCheck.err;
    const ToolRun recordCheck = RunTool(
        "appstreamcli", {"validate", "--no-net", Installed("usr/share/metainfo/org.ferrowick.discforge.metainfo.xml")});
    EXPECT_EQ(recordCheck.exitCode, 0) << recordCheck.out << recordCheck.err;

    const std::string record = ReadWholeFile(Installed("usr/share/metainfo/org.ferrowick.discforge.metainfo.xml"));
    std::smatch found;
    ASSERT_TRUE(std::regex_search(record, found, std::regex(R"(<id>([^<]+)</id>)")));
    EXPECT_EQ(found[1], "org.ferrowick.discforge") << "the file is named after its id";
    ASSERT_TRUE(std::regex_search(record, found, std::regex(R"(<launchable type="desktop-id">([^<]+)</launchable>)")));
    EXPECT_TRUE(fs::exists(Installed("usr/share/applications/" + found[1].str()))) << found[1];
    ASSERT_TRUE(std::regex_search(record, found, std::regex(R"re(<release version="([^"]+)")re")));
    EXPECT_EQ(found[1], "3.60");
}

TEST_F(InstalledProgram, ProgramsLeadToTheInstalledEncoderLibraryAlone)
{
    for (const char* program : {"usr/bin/discforge", "usr/bin/discforge-cli"}) {
        const ToolRun run = RunTool("readelf", {"-d", Installed(program)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::smatch found;
        ASSERT_TRUE(std::regex_search(run.out, found, std::regex(R"((?:RUNPATH|RPATH)\).*\[([^\]]*)\])"))) << program;
        EXPECT_EQ(found[1], "$ORIGIN/../lib/ferrowick-discforge") << program;
    }
}

TEST_F(InstalledProgram, ConverterStartedElsewhereConvertsAClip)
{
    ASSERT_TRUE(FfmpegProgramFound());
    TestFolder work;
    fs::create_directories(work.File("elsewhere"));
    const UserClip clip = MakeUserClip(work.Path(), ClipKind::XvidMp3, mediagen::FrameRate::Pal25, 2, 352, 288);
    ASSERT_FALSE(clip.path.empty());
    const std::string output = work.File("out.mpg");
    const ToolRun run = RunTool(Installed("usr/bin/discforge-cli"),
        {"--target", "vcd", "--standard", "pal", clip.path, "--output", output}, work.File("elsewhere"),
        {{"XDG_STATE_HOME", work.File("state")}}, {"LD_LIBRARY_PATH"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    const DecodedOutput decoded = DecodeOutput(output);
    ASSERT_TRUE(decoded.error.empty()) << decoded.error;
    EXPECT_EQ(decoded.width, 352);
    EXPECT_EQ(decoded.height, 288);
    ASSERT_EQ(static_cast<std::int64_t>(decoded.pictures.size()), clip.frames);
    for (std::size_t n = 0; n < decoded.pictures.size(); ++n) {
        EXPECT_EQ(decoded.pictures[n].number, static_cast<std::int64_t>(n)) << "output frame " << n;
    }
    EXPECT_FALSE(decoded.clicks.empty()) << "the sound came through";
}

// The part of the screen that is not the server's black background.
QRect ShownArea(const QImage& screen)
{
    QRect area;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if ((screen.pixel(x, y) & 0xffffff) != 0) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

bool Near(QRgb shown, QRgb drawn)
{
    return std::abs(qRed(shown) - qRed(drawn)) <= 8 && std::abs(qGreen(shown) - qGreen(drawn)) <= 8
        && std::abs(qBlue(shown) - qBlue(drawn)) <= 8;
}

TEST_F(InstalledProgram, WindowStartedElsewhereShowsItsInstalledSkinAndFindsItsGuide)
{
    const std::string data = Installed(dataFolder);
    const std::optional<std::string> layout = ui::ReadLayoutFile(data + "/UI/position.txt");
    ASSERT_TRUE(layout);
    ui::LayoutRect mainSize;
    ASSERT_TRUE(ui::ReadLayoutRect(*layout, "MainSize", mainSize));
    // What its Help button opens, in the folder it moves to.
    EXPECT_TRUE(fs::is_regular_file(MakeAppPaths(data).helpFilePath));

    TestFolder work;
    XServer server(work.Path(), 1280, 1024);
    ASSERT_FALSE(server.Display().empty()) << server.Error();
    std::map<std::string, std::string> environment = server.ClientEnvironment();
    environment["XDG_CONFIG_HOME"] = work.File("config");
    environment["XDG_STATE_HOME"] = work.File("state");
    environment["XDG_RUNTIME_DIR"] = work.Path();
    environment["LD_LIBRARY_PATH"] = "";
    fs::create_directories(work.File("elsewhere"));
    ChildProcess program({Installed("usr/bin/discforge")}, work.File("elsewhere"), environment);
    ASSERT_TRUE(program.Started());

    const std::string grab = work.File("screen.png");
    const QRect expected(100, 50, mainSize.left, mainSize.top); // the profile's first place
    QImage screen;
    QRect shown;
    for (int attempt = 0; attempt < 240 && shown != expected; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ASSERT_TRUE(program.Running()) << "the program ended: no skin or no encoder library";
        ChildProcess grabber({DISCFORGE_SCREENGRAB, grab}, "", environment);
        while (grabber.Running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (screen.load(QString::fromStdString(grab))) {
            shown = ShownArea(screen);
        }
    }
    ASSERT_EQ(shown, expected) << "the window has the installed skin's size";
    // Its background is the installed skin's picture: a few points away from the
    // controls and from the resize grip in the bottom-right corner.
    QImage background;
    ASSERT_TRUE(background.load(QString::fromStdString(data + "/UI/interface.jpg")));
    for (const QPoint point :
        {QPoint(4, 4), QPoint(mainSize.left - 30, mainSize.top - 5), QPoint(mainSize.left / 2, 3)}) {
        EXPECT_TRUE(Near(screen.pixel(expected.topLeft() + point), background.pixel(point)))
            << point.x() << "," << point.y();
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_TRUE(program.Running()) << "a missing encoder library would have ended it";
}

} // namespace
} // namespace discforge::test
