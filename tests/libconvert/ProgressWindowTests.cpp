// Inside a Qt application the encoder shows its own progress window over the program's
// window; its Cancel button stops the encode, and failures come up in a message box.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

namespace discforge::test {
namespace {

constexpr int vcdNtsc = 1;
constexpr int frames = 60;

SyntheticSettings VcdNtscInput()
{
    SyntheticSettings settings;
    settings.width = 352;
    settings.height = 240;
    settings.framesPerSecondNum = 30000;
    settings.framesPerSecondDen = 1001;
    settings.frames = frames;
    return settings;
}

std::string LabelTexts(const QWidget* window)
{
    std::string texts;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        texts += label->text().toStdString() + "\n";
    }
    return texts;
}

class ProgressWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.Loaded()) << library.Error();
        owner->setWindowTitle("program");
        owner->show();
        library.appWnd(owner.get());
        ASSERT_EQ(library.init(vcdNtsc), 0);
        std::ofstream(output) << "earlier";
        // A message box would wait for a click: note its text and close it instead.
        QObject::connect(&boxWatch, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTexts.push_back(box->text().toStdString());
                boxColours.emplace_back(
                    box->palette().color(QPalette::Window), box->palette().color(QPalette::WindowText));
                box->accept();
            }
        });
        boxWatch.start(20);
    }

    QWidget* FindProgress() const { return owner->findChild<QWidget*>("encodeProgress"); }

    inline static int argc = 1;
    inline static char name[] = "libconvert_tests";
    inline static char* argv[] = {name, nullptr};
    QApplication application{argc, argv};
    std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
    ConvertLibrary library;
    TestFolder folder;
    std::string output = folder.File("movie.mpg");
    QTimer boxWatch;
    std::vector<std::string> boxTexts;
    std::vector<std::pair<QColor, QColor>> boxColours; // window and text colour of each box
};

TEST_F(ProgressWindow, CancelButtonStopsTheEncodeAndKeepsTheEarlierFile)
{
    SyntheticInput input(VcdNtscInput());
    QWidget* seen = nullptr;
    input.beforePicture = [&](int frame) {
        if (frame != 20) {
            return;
        }
        seen = FindProgress();
        ASSERT_NE(seen, nullptr);
        auto* cancel = seen->findChild<QPushButton*>("cancelButton");
        ASSERT_NE(cancel, nullptr);
        cancel->click();
    };
    const EncodeParameters parameters = input.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_CANCELLED);
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(input.picturesAsked.back(), 20);
    EXPECT_EQ(FindProgress(), nullptr);
    EXPECT_TRUE(boxTexts.empty()) << "a cancel is not a failure to report";
    std::ifstream kept(output);
    std::stringstream content;
    content << kept.rdbuf();
    EXPECT_EQ(content.str(), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(ProgressWindow, ShowsTheFiguresOverTheProgramWindowAndComesForwardOnSetFocus)
{
    SyntheticInput input(VcdNtscInput());
    std::string texts;
    bool modeless = false;
    bool ownedByProgram = false;
    bool activeAfterFocus = false;
    input.beforePicture = [&](int frame) {
        QWidget* progress = FindProgress();
        if (frame != 30 || progress == nullptr) {
            return;
        }
        texts = LabelTexts(progress);
        modeless = progress->isVisible() && !progress->isModal();
        ownedByProgram = progress->parentWidget() == owner.get() && progress->isWindow();
        owner->activateWindow();
        library.setFocus();
        QApplication::processEvents();
        activeAfterFocus = QApplication::activeWindow() == progress;
    };
    const EncodeParameters parameters = input.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
    EXPECT_NE(texts.find("movie.mpg"), std::string::npos) << texts;
    EXPECT_NE(texts.find("of " + std::to_string(frames)), std::string::npos) << texts;
    EXPECT_NE(texts.find("elapsed"), std::string::npos) << texts;
    EXPECT_NE(texts.find("remaining"), std::string::npos) << texts;
    EXPECT_NE(texts.find("frames/s"), std::string::npos) << texts;
    EXPECT_TRUE(modeless);
    EXPECT_TRUE(ownedByProgram);
    EXPECT_TRUE(activeAfterFocus);
    EXPECT_EQ(FindProgress(), nullptr);
    EXPECT_TRUE(boxTexts.empty());
}

TEST_F(ProgressWindow, FailureIsToldInAMessageBoxNamingTheOutputAndTheCause)
{
    SyntheticSettings settings = VcdNtscInput();
    settings.failPictureAt = 5;
    SyntheticInput input(settings);
    const EncodeParameters parameters = input.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_CALLBACK_FAILED);
    ASSERT_EQ(boxTexts.size(), 1u);
    EXPECT_NE(boxTexts[0].find(output), std::string::npos) << boxTexts[0];
    EXPECT_NE(boxTexts[0].find("frame 5"), std::string::npos) << boxTexts[0];
}

TEST_F(ProgressWindow, WindowAndMessageBoxTakeTheProgramsColours)
{
    // The program sets its skin's colours for the whole application; the library's windows follow.
    const QColor window(0x23, 0x27, 0x31);
    const QColor text(0xe6, 0xe9, 0xef);
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    QApplication::setPalette(palette);

    SyntheticSettings settings = VcdNtscInput();
    settings.failPictureAt = 40;
    SyntheticInput input(settings);
    std::vector<QColor> seen;
    input.beforePicture = [&](int frame) {
        const QWidget* progress = FindProgress();
        if (frame != 30 || progress == nullptr) {
            return;
        }
        seen = {progress->palette().color(QPalette::Window), progress->palette().color(QPalette::WindowText)};
        if (const auto* cancel = progress->findChild<QPushButton*>("cancelButton")) {
            seen.push_back(cancel->palette().color(QPalette::ButtonText));
        }
    };
    const EncodeParameters parameters = input.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_CALLBACK_FAILED);
    EXPECT_EQ(seen, (std::vector<QColor>{window, text, text})) << "progress window, its text, its Cancel button";
    ASSERT_EQ(boxColours.size(), 1u);
    EXPECT_EQ(boxColours[0].first, window);
    EXPECT_EQ(boxColours[0].second, text);
}

TEST_F(ProgressWindow, ClosingTheProgramWindowDuringTheEncodeCancelsIt)
{
    SyntheticInput input(VcdNtscInput());
    input.beforePicture = [&](int frame) {
        if (frame == 10) {
            owner.reset();
        }
    };
    const EncodeParameters parameters = input.Parameters(output);
    EXPECT_EQ(library.makeMpeg(&parameters), ENCODE_CANCELLED);
    EXPECT_LE(input.picturesAsked.size(), 11u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

} // namespace
} // namespace discforge::test
