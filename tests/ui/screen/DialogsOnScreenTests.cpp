// The file dialog and a message box as the screen of a virtual X server shows them, in
// the look of the default skin: the skin's own window colour, dark lists and light text. The pictures are kept in
// build/screenshots/.
#include "XServer.h"

#include "support/TestFolder.h"
#include "TestPaths.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace discforge::test {
namespace {

// The default skin's window colour, as its generator paints it.
const QColor skinWindow{0x1f, 0x24, 0x30};

QRgb MostCommonColour(const QImage& picture)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            ++counts[picture.pixel(x, y) | 0xff000000u];
        }
    }
    QRgb most = 0;
    int count = 0;
    for (const auto& [colour, times] : counts) {
        if (times > count) {
            count = times;
            most = colour;
        }
    }
    return most;
}

// The share of the picture's pixels that are light (text on the dark ground).
double LightShare(const QImage& picture)
{
    int light = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            light += QColor(picture.pixel(x, y)).lightness() > 180 ? 1 : 0;
        }
    }
    return static_cast<double>(light) / (picture.width() * picture.height());
}

// At twice the size on a screen of 1600 x 1000, as a high-resolution laptop has.
QImage Shoot(const std::string& kind, int scale = 1)
{
    TestFolder folder;
    XServer server(folder.Path(), scale == 1 ? 1280 : 1600, scale == 1 ? 1024 : 1000);
    EXPECT_FALSE(server.Display().empty()) << server.Error();
    std::map<std::string, std::string> environment = server.ClientEnvironment();
    environment["QT_SCALE_FACTOR"] = std::to_string(scale);
    // A home of the test's own, whose videos folder the file dialog shows.
    environment["HOME"] = folder.Path();
    environment["XDG_CONFIG_HOME"] = folder.File("config");
    environment["XDG_RUNTIME_DIR"] = folder.Path();
    std::filesystem::create_directories(folder.File("Videos/Holidays"));
    for (const char* name : {"summer holiday 2026.avi", "birthday.mp4", "slides.lst"}) {
        std::ofstream(folder.File("Videos/") + name) << name;
    }
    std::filesystem::create_directories(DISCFORGE_SCREENSHOT_DIR);
    const std::string path = std::string(DISCFORGE_SCREENSHOT_DIR) + "/discforge-" + kind
        + (scale == 1 ? "" : "-" + std::to_string(scale * 100)) + ".png";
    std::filesystem::remove(path);
    ChildProcess shot({DISCFORGE_DIALOGSHOT, DISCFORGE_BIN_DIR, kind, path}, folder.Path(), environment);
    EXPECT_TRUE(shot.Started());
    for (int wait = 0; wait < 600 && shot.Running(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    QImage picture;
    EXPECT_TRUE(picture.load(QString::fromStdString(path))) << path;
    return picture;
}

int Distance(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

void ExpectSkinLook(const QImage& picture, const char* what)
{
    ASSERT_FALSE(picture.isNull()) << what;
    // The margin of the dialog is its window colour; lists and fields may be a shade lighter.
    const QColor margin = QColor::fromRgb(picture.pixel(2, picture.height() - 3));
    EXPECT_LE(Distance(margin, skinWindow), 6) << what << ": " << margin.name().toStdString();
    const QColor ground = QColor::fromRgb(MostCommonColour(picture));
    EXPECT_LT(ground.lightness(), 80) << what << ": " << ground.name().toStdString();
    const double light = LightShare(picture);
    EXPECT_GT(light, 0.002) << what << ": light text on the ground";
    EXPECT_LT(light, 0.3) << what << ": not a light dialog";
}

TEST(DialogsOnScreen, FileDialogHasTheSkinsLook)
{
    const QImage picture = Shoot("file-dialog");
    ExpectSkinLook(picture, "file dialog");
    EXPECT_GE(picture.width(), 640);
}

TEST(DialogsOnScreen, MessageBoxHasTheSkinsLook) { ExpectSkinLook(Shoot("message-box"), "message box"); }

TEST(DialogsOnScreen, AtTwiceTheSizeTheDialogsKeepTheLookAndGrowWithTheScale)
{
    const QImage files = Shoot("file-dialog", 2);
    ExpectSkinLook(files, "file dialog at 200 %");
    EXPECT_GE(files.width(), 1280) << "drawn at twice the size";
    EXPECT_LE(files.width(), 1600);
    EXPECT_LE(files.height(), 1000) << "it fits the screen";
    const QImage message = Shoot("message-box", 2);
    ExpectSkinLook(message, "message box at 200 %");
    EXPECT_LE(message.width(), 1600);
}

} // namespace
} // namespace discforge::test
