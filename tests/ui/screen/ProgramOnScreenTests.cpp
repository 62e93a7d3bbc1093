// The program as it starts from a desktop: on a virtual X server, from a
// folder that holds no skin, it finds its installed skin, shows a window of
// the skin's size where the profile places it, and then idles without using
// the processor. A screenshot of the window is kept in build/screenshots/.
#include "XServer.h"

#include "support/TestFolder.h"
#include "ui/SkinLayout.h"
#include "TestPaths.h"

#include <QColor>
#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

namespace discforge::test {
namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 1024;

// The part of the screen that is not the server's black background.
QRect ShownArea(const QImage& screen)
{
    QRect area;
    for (int y = 0; y < screen.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        for (int x = 0; x < screen.width(); ++x) {
            if ((row[x] & 0xffffff) != 0) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

int DistinctColours(const QImage& picture)
{
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x = 0; x < picture.width(); x += 2) {
            colours.insert(picture.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

// The program started from a folder of the test's own on a virtual screen; the
// environment it was given.
std::map<std::string, std::string> ProgramEnvironment(const XServer& server, const TestFolder& folder)
{
    std::map<std::string, std::string> environment = server.ClientEnvironment();
    environment["XDG_CONFIG_HOME"] = folder.File("config");
    environment["XDG_STATE_HOME"] = folder.File("state");
    environment["XDG_RUNTIME_DIR"] = folder.Path();
    std::filesystem::create_directories(folder.File("elsewhere"));
    return environment;
}

// The screen once the window on it has been drawn and has stopped changing its place.
QImage SettledScreen(
    ChildProcess& program, const std::string& grab, const std::map<std::string, std::string>& environment, QRect& shown)
{
    QImage screen;
    QRect last;
    // Up to a minute: a loaded machine may take long to start the program.
    for (int attempt = 0; attempt < 240; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        if (!program.Running()) {
            return {};
        }
        ChildProcess grabber({DISCFORGE_SCREENGRAB, grab}, "", environment);
        while (grabber.Running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (screen.load(QString::fromStdString(grab))) {
            shown = ShownArea(screen);
            if (!shown.isEmpty() && shown == last && DistinctColours(screen.copy(shown)) > 64) {
                return screen;
            }
            last = shown;
        }
    }
    return screen;
}

TEST(ProgramOnScreen, AtTwiceTheSizeTheWindowFitsALaptopScreenAndKeepsItsSkin)
{
    const int width = 1600;
    const int height = 1000;
    TestFolder folder;
    XServer server(folder.Path(), width, height);
    ASSERT_FALSE(server.Display().empty()) << server.Error();
    std::map<std::string, std::string> environment = ProgramEnvironment(server, folder);
    environment["QT_SCALE_FACTOR"] = "2";
    ChildProcess program({std::string(DISCFORGE_BIN_DIR) + "/discforge"}, folder.File("elsewhere"), environment);
    ASSERT_TRUE(program.Started());
    QRect shown;
    const QImage screen = SettledScreen(program, folder.File("screen.png"), environment, shown);
    ASSERT_FALSE(screen.isNull()) << "the program ended or never drew";
    EXPECT_TRUE(QRect(0, 0, width, height).contains(shown)) << "the whole window is on the screen";
    EXPECT_GT(shown.width(), 1200) << "drawn at twice the size, scaled only as far as the screen needs";
    EXPECT_GT(shown.height(), 800);
    const QImage window = screen.copy(shown);
    std::filesystem::create_directories(DISCFORGE_SCREENSHOT_DIR);
    window.save(QString::fromStdString(std::string(DISCFORGE_SCREENSHOT_DIR) + "/discforge-window-200.png"), "PNG");
    EXPECT_TRUE(program.Running());
}

TEST(ProgramOnScreen, StartedElsewhereItShowsItsSkinnedWindowAndIdlesQuietly)
{
    const std::string binDir = DISCFORGE_BIN_DIR;
    const std::optional<std::string> layout = ui::ReadLayoutFile(binDir + "/UI/position.txt");
    ASSERT_TRUE(layout) << "the skin is installed beside the program";
    ui::LayoutRect mainSize;
    ASSERT_TRUE(ui::ReadLayoutRect(*layout, "MainSize", mainSize));

    TestFolder folder;
    XServer server(folder.Path(), screenWidth, screenHeight);
    ASSERT_FALSE(server.Display().empty()) << server.Error();
    std::map<std::string, std::string> environment = server.ClientEnvironment();
    environment["XDG_CONFIG_HOME"] = folder.File("config");
    environment["XDG_STATE_HOME"] = folder.File("state");
    environment["XDG_RUNTIME_DIR"] = folder.Path();
    std::filesystem::create_directories(folder.File("elsewhere"));
    ChildProcess program({binDir + "/discforge"}, folder.File("elsewhere"), environment);
    ASSERT_TRUE(program.Started());

    // The window as the screen shows it once it has been drawn.
    const std::string grab = folder.File("screen.png");
    const QRect expected(100, 50, mainSize.left, mainSize.top); // the profile's first place
    QImage screen;
    QRect shown;
    // Up to a minute: a loaded machine may take long to start the program.
    for (int attempt = 0; attempt < 240 && shown != expected; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        ASSERT_TRUE(program.Running()) << "the program ended";
        ChildProcess grabber({DISCFORGE_SCREENGRAB, grab}, "", environment);
        while (grabber.Running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (screen.load(QString::fromStdString(grab))) {
            shown = ShownArea(screen);
        }
    }
    ASSERT_FALSE(screen.isNull());
    EXPECT_EQ(shown, expected) << "the window has the skin's size at the profile's place";
    const QImage window = screen.copy(shown);
    std::filesystem::create_directories(DISCFORGE_SCREENSHOT_DIR);
    window.save(QString::fromStdString(std::string(DISCFORGE_SCREENSHOT_DIR) + "/discforge-window.png"), "PNG");
    EXPECT_GT(DistinctColours(window), 64) << "the window shows its skin, not a blank";
    // The shape choice is drawn with its captions where the skin places its radios.
    for (const char* key : {"ShapeAutoRadio", "Shape43Radio", "Shape169Radio"}) {
        ui::LayoutRect radio;
        ASSERT_TRUE(ui::ReadLayoutRect(*layout, key, radio)) << key;
        EXPECT_GT(DistinctColours(window.copy(radio.left, radio.top, radio.width, radio.height)), 4) << key;
    }

    // An idle window does no work: well under a hundredth of the processor over
    // ten seconds, once what the first paint set going has settled.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double before = program.CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double used = program.CpuSeconds() - before;
    ASSERT_GE(before, 0);
    EXPECT_LT(used, 0.1) << "processor seconds used while idle";
    EXPECT_TRUE(program.Running());
}

} // namespace
} // namespace discforge::test
