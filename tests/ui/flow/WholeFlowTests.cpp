// The window as a user drives it with the real encoder library: a clip chosen
// in the real open dialog by typing its path, fill-in chosen, the conversion
// started with Enter, and the output checked by what it shows; a conversion
// cancelled by closing the window; and a project saved in the window that the
// command line converts to the same bytes; two clips converted with "make a disc
// after converting" ticked into a DVD folder that lsdvd reads.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleMedia.h"
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "support/StreamChecks.h"
#include "TestPaths.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

namespace discforge::test {
namespace {

std::vector<char> FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const std::string realEncoder = std::string(DISCFORGE_BIN_DIR) + "/libconvert.so";

// A clip as users bring them: MPEG-4 video and MP3 sound in an AVI, made by
// ffmpeg from the generator's numbered frames; wider than a VCD picture.
std::string UserClip(const std::string& folder, std::int64_t frames)
{
    mediagen::AviRecipe recipe;
    recipe.width = 352;
    recipe.height = 198;
    recipe.frames = frames;
    const std::string clip = folder + "/Holiday Clip.avi";
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(SampleAvi(recipe))
        + " -c:v mpeg4 -q:v 2 -c:a libmp3lame -b:a 128k " + Quoted(clip));
    return made.exitCode == 0 ? clip : std::string();
}

// Closes any message box the encoder library opens (a failure), so a test
// fails with its text instead of waiting for a user.
class BoxWatcher {
public:
    BoxWatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text().toStdString());
                box->reject();
            }
        });
        timer_.start(100);
    }
    std::vector<std::string> texts;

private:
    QTimer timer_;
};

// Types `path` into the open dialog once it shows and presses Enter there,
// again while the dialog stays (its completer may take the first Enter); after
// many tries it cancels the dialog, so a test fails instead of waiting.
void AnswerOpenDialogWith(const std::string& path)
{
    auto* poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path, tries] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (*tries > 0) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        if (++*tries > 100) {
            dialog->reject();
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name == nullptr) {
            return;
        }
        if (name->text() != QString::fromStdString(path)) {
            name->clear();
            QTest::keyClicks(name, QString::fromStdString(path));
        }
        if (name->completer() != nullptr && name->completer()->popup() != nullptr) {
            name->completer()->popup()->hide();
        }
        QTest::keyClick(name, Qt::Key_Return);
    });
    poll->start(100);
}

// How bright the top left corner of a decoded picture is: black when the
// picture was fitted proportionally onto black borders, the white first cell
// of the number band when it fills the frame.
double TopLeftBrightness(const pattern::ConstPatternImage& picture)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* row = picture.pixels + static_cast<std::ptrdiff_t>(y) * picture.stride;
        for (int x = 2; x < picture.width / 48; ++x) {
            sum += row[x * picture.bytesPerPixel + 1];
            ++count;
        }
    }
    return sum / count;
}

TEST(WholeFlow, AClipTypedIntoTheOpenDialogIsConvertedWithFillInAfterEnter)
{
    TestApplication();
    TestFolder clips;
    const std::string clip = UserClip(clips.Path(), 25);
    ASSERT_FALSE(clip.empty());

    BoxWatcher boxes;
    ui::QtFileChooser files;
    WindowRig rig(FullLayout(), realEncoder, &files);
    files.SetOwner(&rig.Window());

    AnswerOpenDialogWith(clip);
    QTest::mouseClick(rig.Window().Controls().Find(control::openInput), Qt::LeftButton);
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1) << (rig.messages.shown.empty() ? "" : rig.messages.shown[0].text);
    const std::string output = clips.File("Holiday Clip.mpg");
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].outputPath, output);

    // The window manager gives the window back its focus when the dialog closes.
    rig.Frame().activateWindow();
    rig.Settle();
    QWidget* fillIn = rig.Window().Controls().Find(control::fillRadio);
    QTest::mouseClick(fillIn, Qt::LeftButton);
    QTest::keyClick(fillIn, Qt::Key_Return);
    ASSERT_TRUE(rig.WaitFor([&] { return rig.Core().InputsEncoded() == 1 && !rig.Core().IsConverting(); }, 120));
    EXPECT_TRUE(rig.Core().LastEncodeCompleted());
    // The one word afterwards: the batch is done, with the file written.
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text.rfind("The conversion is done:\n" + output + ": ", 0), 0u)
        << rig.messages.shown[0].text;
    EXPECT_EQ(rig.messages.shown[0].text.find("not written"), std::string::npos) << rig.messages.shown[0].text;
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts[0];

    std::string error;
    const ProbedFile probed = Probe(output, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(probed.video.at("codec_name"), "mpeg1video");
    EXPECT_EQ(probed.video.at("width"), "352");
    EXPECT_EQ(probed.video.at("height"), "288") << "a 25 frames-per-second clip chooses PAL";
    EXPECT_EQ(probed.audioStreams, 1);

    const DecodedOutput decoded = DecodeOutput(output, {TopLeftBrightness});
    ASSERT_TRUE(decoded.error.empty()) << decoded.error;
    // Every picture shows its own source frame.
    ASSERT_EQ(decoded.pictures.size(), 25u);
    for (std::size_t i = 0; i < decoded.pictures.size(); ++i) {
        EXPECT_EQ(decoded.pictures[i].number, static_cast<std::int64_t>(i));
    }
    EXPECT_GT(decoded.pictures[5].readings[0], 160.0) << "filled in: no black border at the top";
}

TEST(WholeFlow, ClosingDuringAConversionCancelsItAndLeavesNoFile)
{
    TestApplication();
    TestFolder clips;
    const std::string clip = UserClip(clips.Path(), 250);
    ASSERT_FALSE(clip.empty());

    BoxWatcher boxes;
    WindowRig rig(FullLayout(), realEncoder);
    rig.files.mediaAnswers.push_back(clip);
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.messages.answerYes = true;

    // Once the encode is under way, the user closes the window. The closer looks at every
    // pass of the event loop: a short encode on a fast machine lets only a few through.
    auto* closer = new QTimer(&rig.Window());
    QObject::connect(closer, &QTimer::timeout, closer, [&rig, closer] {
        if (rig.Core().IsConverting()) {
            closer->stop();
            rig.Frame().close();
        }
    });
    closer->start(0);
    QTest::mouseClick(rig.Window().Controls().Find(control::startConversion), Qt::LeftButton);
    ASSERT_TRUE(rig.WaitFor([&] { return !rig.FrameOpen(); }, 120));
    ASSERT_EQ(rig.messages.asked.size(), 1u);
    EXPECT_FALSE(rig.Core().LastEncodeCompleted());
    EXPECT_TRUE(boxes.texts.empty()) << "a cancel is no failure: " << boxes.texts[0];
    EXPECT_FALSE(std::filesystem::exists(clips.File("Holiday Clip.mpg")));
    for (const auto& entry : std::filesystem::directory_iterator(clips.Path())) {
        EXPECT_EQ(entry.path().extension(), ".avi") << "left behind: " << entry.path();
    }
}

TEST(WholeFlow, AProjectSavedInTheWindowConvertsOnTheCommandLineToTheSameBytes)
{
    TestApplication();
    TestFolder clips;
    const std::string clip = UserClip(clips.Path(), 25);
    ASSERT_FALSE(clip.empty());

    WindowRig rig(FullLayout(), realEncoder);
    rig.files.mediaAnswers.push_back(clip);
    ASSERT_TRUE(rig.Command(control::openInput));
    QTest::mouseClick(rig.Window().Controls().Find(control::fillRadio), Qt::LeftButton);
    QTest::mouseClick(rig.Window().Controls().Find(control::invertCheck), Qt::LeftButton);
    const std::string project = clips.File("holiday.mdp");
    rig.files.projectAnswers.push_back(project);
    ASSERT_TRUE(rig.Command(command::saveProject));
    ASSERT_TRUE(std::filesystem::exists(project));

    QTest::mouseClick(rig.Window().Controls().Find(control::startConversion), Qt::LeftButton);
    ASSERT_TRUE(rig.WaitFor([&] { return rig.Core().InputsEncoded() == 1 && !rig.Core().IsConverting(); }, 120));
    ASSERT_TRUE(rig.Core().LastEncodeCompleted());
    const std::string output = clips.File("Holiday Clip.mpg");
    const std::string fromWindow = clips.File("from-window.mpg");
    std::filesystem::rename(output, fromWindow);

    const CliOutcome converted = RunCli({"--project", project}, clips.Path());
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(FileBytes(output), FileBytes(fromWindow));
    EXPECT_GT(std::filesystem::file_size(output), 0u);
}

// The lengths of the titles lsdvd lists, in seconds.
std::vector<double> TitleSeconds(const std::string& listing)
{
    std::vector<double> seconds;
    const std::regex title(R"(Title: \d+, Length: (\d+):(\d+):(\d+\.\d+))");
    for (auto it = std::sregex_iterator(listing.begin(), listing.end(), title); it != std::sregex_iterator(); ++it) {
        seconds.push_back(std::stod((*it)[1]) * 3600 + std::stod((*it)[2]) * 60 + std::stod((*it)[3]));
    }
    return seconds;
}

TEST(WholeFlow, TwoClipsConvertedWithTheDiscBoxTickedBecomeADvdFolder)
{
    if (RunCommand("command -v dvdauthor && command -v lsdvd").exitCode != 0) {
        GTEST_SKIP() << "dvdauthor or lsdvd is not installed";
    }
    TestApplication();
    TestFolder first;
    TestFolder second;
    const std::string firstClip = UserClip(first.Path(), 25);
    const std::string secondClip = UserClip(second.Path(), 50);
    ASSERT_FALSE(firstClip.empty());
    ASSERT_FALSE(secondClip.empty());

    BoxWatcher boxes;
    WindowRig rig(FullLayout(), realEncoder);
    rig.files.mediaAnswers = {firstClip, secondClip};
    ASSERT_TRUE(rig.Command(command::addInput));
    ASSERT_TRUE(rig.Command(command::addInput));
    QTest::mouseClick(rig.Window().Controls().Find(control::dvdRadio), Qt::LeftButton);
    const std::string disc = first.File("disc");
    rig.files.folderAnswers.push_back(disc);
    QTest::mouseClick(rig.Window().Controls().Find(control::discCheck), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(rig.Core().Settings().discAfterConverting);

    QTest::mouseClick(rig.Window().Controls().Find(control::startConversion), Qt::LeftButton);
    ASSERT_TRUE(rig.WaitFor([&] { return !rig.Core().IsConverting() && !rig.Core().IsAuthoring(); }, 240));
    ASSERT_EQ(rig.Core().InputsEncoded(), 2);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - conversion done");
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts[0];

    const CommandResult listed = RunCommand("lsdvd " + Quoted(disc));
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    const std::vector<double> titles = TitleSeconds(listed.output);
    ASSERT_EQ(titles.size(), 2u) << listed.output;
    EXPECT_NEAR(titles[0], 1.0, 0.3);
    EXPECT_NEAR(titles[1], 2.0, 0.3);
    EXPECT_NE(rig.Core().Log().Text().find("dvdauthor"), std::string::npos) << "the tool's lines are in the run log";
    EXPECT_TRUE(std::filesystem::exists(first.File("Holiday Clip.mpg"))
        && std::filesystem::exists(second.File("Holiday Clip.mpg")))
        << "the streams stay";
}

} // namespace
} // namespace discforge::test
