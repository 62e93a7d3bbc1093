// One whole flow on a virtual X server of the test's own, the window shown as on
// a desktop: two clips made by ffmpeg (an H.264 MP4 in 16:9 and an AVI with MP3
// sound in 4:3) added with the Insert key, DVD chosen and the second clip
// turned upside down by mouse, the conversion started with its button; each
// stream is judged by what it shows, and a screenshot of the window is kept in
// build/screenshots/.
#include "OutputDecoder.h"
#include "SampleMedia.h"
#include "UiTestSupport.h"
#include "XServer.h"

#include "core/ControlIds.h"
#include "support/StreamChecks.h"
#include "TestPaths.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace discforge::test {
namespace {

const std::string realEncoder = std::string(DISCFORGE_BIN_DIR) + "/libconvert.so";

// The X server outlives the Qt application: its environment is added before the
// application's, so it is torn down after it.
class XServerEnvironment : public ::testing::Environment {
public:
    explicit XServerEnvironment(std::unique_ptr<XServer> server)
        : server_(std::move(server))
    {
    }
    void TearDown() override { server_.reset(); }

private:
    std::unique_ptr<XServer> server_;
};

// Starts the server and points Qt at it; empty when it could not be started.
std::string StartDisplay(const std::string& folder)
{
    auto server = std::make_unique<XServer>(folder, 1024, 768);
    if (server->Display().empty()) {
        return "Xvfb: " + server->Error();
    }
    for (const auto& [name, value] : server->ClientEnvironment()) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::testing::AddGlobalTestEnvironment(new XServerEnvironment(std::move(server)));
    return {};
}

// The generator's numbered pictures at `width` x `height`, 25 per second, with
// sound, made by ffmpeg into `name` with `codecs`.
std::string ClipByFfmpeg(
    const std::string& folder, const std::string& name, int width, int height, const std::string& codecs)
{
    mediagen::AviRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.frames = 25;
    recipe.audio = mediagen::AudioForm::Stereo16At44100;
    const std::string clip = folder + "/" + name;
    const CommandResult made
        = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(SampleAvi(recipe)) + " " + codecs + " " + Quoted(clip));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return clip;
}

// The frame number a picture shows when it is read turned upside down.
double NumberUpsideDown(const pattern::ConstPatternImage& picture)
{
    pattern::ConstPatternImage turned = picture;
    turned.bottomUp = !picture.bottomUp;
    return static_cast<double>(pattern::ReadFrameNumber(turned));
}

// The frame number a preview on the screen shows, read turned upside down: the
// picture is the part of the panel brighter than its black surround.
std::int64_t ShownNumberUpsideDown(const QImage& window, const QRect& panel)
{
    const QImage shown = window.copy(panel).convertToFormat(QImage::Format_RGB32);
    QRect picture;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            if (std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 48) {
                picture |= QRect(x, y, 1, 1);
            }
        }
    }
    if (picture.isEmpty()) {
        return -1;
    }
    const pattern::ConstPatternImage image{
        shown.constBits(), shown.width(), shown.height(), static_cast<int>(shown.bytesPerLine()), 4, true};
    // Stored top row first, read as bottom-up: the rows are taken upside down.
    const int top = shown.height() - 1 - picture.bottom();
    return pattern::ReadFrameNumber(image, {picture.x(), top, picture.width(), picture.height()});
}

void ClickRowOf(QListWidget& list, int row)
{
    const QRect rect = list.visualItemRect(list.item(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
}

TEST(ScreenFlow, TwoClipsAddedByKeyAndSetByMouseConvertToWhatTheWindowShows)
{
    TestFolder folder;
    const std::string display = StartDisplay(folder.Path());
    ASSERT_TRUE(display.empty()) << display;
    TestApplication();
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");

    const std::string wide = ClipByFfmpeg(
        folder.Path(), "Wide Beach.mp4", 320, 180, "-c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac");
    const std::string square
        = ClipByFfmpeg(folder.Path(), "Old Tape.avi", 240, 180, "-c:v mpeg4 -q:v 2 -c:a libmp3lame -b:a 128k");

    WindowRig rig(FullLayout(), realEncoder);
    QWidget* top = rig.Window().window();
    top->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
    top->activateWindow();
    QApplication::setActiveWindow(top);
    rig.Settle();
    QListWidget& list = *rig.Window().InputList();
    list.setFocus();
    rig.files.mediaAnswers = {wide, square};
    QTest::keyClick(&list, Qt::Key_Insert);
    rig.Settle();
    QTest::keyClick(&list, Qt::Key_Insert);
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().inputCount, 2) << (rig.messages.shown.empty() ? "" : rig.messages.shown[0].text);

    auto& controls = rig.Window().Controls();
    QTest::mouseClick(controls.Find(control::dvdRadio), Qt::LeftButton);
    ClickRowOf(list, 1);
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().selectedInput, 1);
    QTest::mouseClick(controls.Find(control::invertCheck), Qt::LeftButton);
    rig.Settle();
    ClickRowOf(list, 0);
    rig.Settle();
    EXPECT_FALSE(controls.IsChecked(control::invertCheck)) << "the first clip shows its own choice";
    ClickRowOf(list, 1);
    rig.Settle();
    EXPECT_TRUE(controls.IsChecked(control::invertCheck));
    EXPECT_TRUE(controls.IsChecked(control::dvdRadio));
    EXPECT_TRUE(controls.IsChecked(control::palRadio)) << "25 pictures a second";

    // The window as the X server shows it, before the run.
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    ASSERT_FALSE(screen.isNull());
    const QRect frame(top->mapToGlobal(QPoint(0, 0)), top->size());
    std::filesystem::create_directories(DISCFORGE_SCREENSHOT_DIR);
    const QImage window = screen.copy(frame);
    window.save(QString::fromStdString(std::string(DISCFORGE_SCREENSHOT_DIR) + "/whole-flow-window.png"), "PNG");
    EXPECT_EQ(ColourAt(window, QRect(0, 0, 10, 10)), backgroundColour) << "the skin is drawn on the screen";
    // Both previews show the chosen clip's first picture as it will be written: upside down.
    EXPECT_EQ(ShownNumberUpsideDown(window, rig.Window().InputPreviewRect()), 0);
    EXPECT_EQ(ShownNumberUpsideDown(window, rig.Window().OutputPreviewRect()), 0);

    QTest::mouseClick(controls.Find(control::startConversion), Qt::LeftButton);
    ASSERT_TRUE(rig.WaitFor([&] { return rig.Core().InputsEncoded() == 2 && !rig.Core().IsConverting(); }, 240));
    EXPECT_TRUE(rig.Core().LastEncodeCompleted());
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - conversion done");

    const std::string wideOut = folder.File("Wide Beach.mpg");
    const std::string squareOut = folder.File("Old Tape.mpg");
    std::string error;
    const ProbedFile wideProbe = Probe(wideOut, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(wideProbe.video.at("codec_name"), "mpeg2video");
    EXPECT_EQ(wideProbe.video.at("width"), "720");
    EXPECT_EQ(wideProbe.video.at("height"), "576");
    EXPECT_EQ(wideProbe.video.at("display_aspect_ratio"), "16:9") << "the 16:9 clip fills a 16:9 frame";
    EXPECT_EQ(wideProbe.audioStreams, 1);
    const ProbedFile squareProbe = Probe(squareOut, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(squareProbe.video.at("height"), "576");
    EXPECT_EQ(squareProbe.video.at("display_aspect_ratio"), "4:3");
    EXPECT_EQ(squareProbe.audioStreams, 1);

    const DecodedOutput upright = DecodeOutput(wideOut);
    ASSERT_TRUE(upright.error.empty()) << upright.error;
    ASSERT_EQ(upright.pictures.size(), 25u);
    const DecodedOutput turned = DecodeOutput(squareOut, {NumberUpsideDown});
    ASSERT_TRUE(turned.error.empty()) << turned.error;
    ASSERT_EQ(turned.pictures.size(), 25u);
    for (std::size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(upright.pictures[i].number, static_cast<std::int64_t>(i)) << "picture " << i;
        EXPECT_EQ(turned.pictures[i].readings[0], static_cast<double>(i)) << "upside down, picture " << i;
    }
}

} // namespace
} // namespace discforge::test
