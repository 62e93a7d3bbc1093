#include "UiTestSupport.h"

#include "mediagen/MediaGen.h"
#include "ui/ResponseTable.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace discforge::test {
namespace {

void SavePicture(const std::string& path, int width, int height, const QColor& colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    picture.save(QString::fromStdString(path), "BMP");
}

// Four faces side by side, each `width` wide.
void SaveStrip(const std::string& path, int width, int height)
{
    QImage strip(width * 4, height, QImage::Format_RGB32);
    for (int face = 0; face < 4; ++face) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                strip.setPixelColor(face * width + x, y, faceColours[face]);
            }
        }
    }
    strip.save(QString::fromStdString(path), "BMP");
}

} // namespace

namespace {

// Holds the Qt application until the test program's end, then deletes it
// while Qt is still whole, so it lets go of what it holds (fonts) before the
// leak check; a static application would go after Qt's own statics.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    explicit QtApplicationEnvironment(std::unique_ptr<QApplication>& application)
        : application_(application)
    {
    }
    void TearDown() override { application_.reset(); }

private:
    std::unique_ptr<QApplication>& application_;
};

} // namespace

QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static TestFolder state;
    static std::unique_ptr<QApplication> application;
    if (application == nullptr) {
        setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        // The tips marker goes into the user's config folder: one of the tests' own.
        setenv("XDG_CONFIG_HOME", state.File("config").c_str(), 1);
        application = std::make_unique<QApplication>(argc, argv);
        ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment(application));
    }
    return *application;
}

std::string FullLayout()
{
    return "MainSize=600,400;\n"
           "convert=500,350,80,30;\n"
           "checklog=10,350,60,20;\n"
           "help=80,350,60,20;\n"
           "about=150,350,60,20;\n"
           "exit=560,5,30,20;\n"
           "inputplay=20,200,40,20;\n"
           "outputplay=320,200,40,20;\n"
           "openfile=220,250,60,20;\n"
           "rename=450,250,60,20;\n"
           "home=220,350,60,20;\n"
           "discfolder=220,375,60,20;\n"
           "InputPreviewBox=20,40,260,150;\n"
           "OutputPreviewBox=320,40,260,150;\n"
           "VCDRadio=20,300,100,20;\n"
           "DVDRadio=130,300,100,20;\n"
           "SVCDRadio=240,300,100,20;\n"
           "InputFileNameField=20,230,190,60;\n"
           "OutputFileNameField=320,250,120,20;\n"
           "MpegWidthField=320,275,50,20;\n"
           "MpegHeightField=380,275,50,20;\n"
           "NTSCRadio=350,300,20,20;\n"
           "PALRadio=380,300,20,20;\n"
           "FillInRadio=70,200,20,20;\n"
           "PROPORTIONALRadio=100,200,20,20;\n"
           "ShutdownCheck=300,325,180,20;\n"
           "InvertCheck=130,200,20,20;\n"
           "SplitCheck=440,275,20,20;\n"
           "MAXLENField=470,275,50,20;\n"
           "DiscCheck=20,375,180,20;\n";
}

void WriteSkin(const std::string& folder, const std::string& layout)
{
    const std::filesystem::path ui = std::filesystem::path(folder) / "UI";
    std::filesystem::create_directories(ui);
    {
        std::FILE* file = std::fopen((ui / "position.txt").c_str(), "wb");
        std::fwrite(layout.data(), 1, layout.size(), file);
        std::fclose(file);
    }
    SavePicture((ui / "interface.jpg").string(), 600, 400, backgroundColour);
    SavePicture((ui / "inputpreview.jpg").string(), 64, 48, inputPlaceholderColour);
    SavePicture((ui / "outputpreview.jpg").string(), 64, 48, outputPlaceholderColour);
    // Strips as wide as the test layout's buttons; the exit button's strip is
    // taller than the button, so it shows its bottom rows.
    const struct {
        const char* name;
        int width;
        int height;
    } strips[] = {{"convertbutton.jpg", 80, 30}, {"checklogbutton.jpg", 60, 20}, {"helpbutton.jpg", 60, 20},
        {"aboutbutton.jpg", 60, 20}, {"exitbutton.jpg", 30, 26}, {"inputplaybutton.jpg", 40, 20},
        {"inputstopbutton.jpg", 40, 20}, {"outputplaybutton.jpg", 40, 20}, {"outputstopbutton.jpg", 40, 20},
        {"openfilebutton.jpg", 60, 20}, {"renamebutton.jpg", 60, 20}, {"homebutton.jpg", 60, 20},
        {"discfolderbutton.jpg", 60, 20}};
    for (const auto& strip : strips) {
        SaveStrip((ui / strip.name).string(), strip.width, strip.height);
    }
}

std::optional<std::string> ScriptedFileChooser::Next(std::deque<std::optional<std::string>>& answers)
{
    ++asked;
    if (answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

WindowRig::WindowRig(const std::string& layout, const std::string& library, ui::FileChooser* chooser,
    const std::function<void(const std::string& skin)>& dress)
{
    TestApplication();
    WriteSkin(folder.Path(), layout);
    if (dress) {
        dress(folder.File("UI"));
    }
    profile = std::make_unique<ProfileStore>(folder.File("profile.ini"));
    app = std::make_unique<ui::TMordaxApp>(
        ui::AppServices{{messages, shell, power, filterDialog, chooser != nullptr ? *chooser : files,
                            library.empty() ? fake.Path() : library, folder.Path()},
            *profile});
    app->InitMainWindow();
    app->Start();
    app->Frame()->activateWindow();
    Settle();
}

WindowRig::~WindowRig()
{
    app.reset();
    QApplication::processEvents();
}

bool WindowRig::WaitFor(const std::function<bool()>& done, double seconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void WindowRig::Settle()
{
    for (int round = 0; round < 5; ++round) {
        QApplication::processEvents();
    }
}

std::map<QString, bool> WindowRig::InputListMenuEntries()
{
    std::map<QString, bool> offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                offered[action->text()] = action->isEnabled();
            }
        }
        menu->close();
    });
    QWidget* viewport = Window().InputList()->viewport();
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &press);
    return offered;
}

bool WindowRig::FrameOpen() const { return app->Frame() != nullptr && app->Frame()->isVisible(); }

std::string WindowRig::MakeList(const std::string& name, int pictures)
{
    mediagen::ListRecipe recipe;
    recipe.path = folder.File(name);
    recipe.pictures = pictures;
    recipe.width = 64;
    recipe.height = 48;
    std::string error;
    mediagen::WritePictureList(recipe, error);
    return recipe.path;
}

bool WindowRig::Command(int id, unsigned notification) { return Window().Dispatch(ui::msg::command, notification, id); }

QColor ColourAt(const QImage& picture, const QRect& rect) { return picture.pixelColor(rect.center()); }

} // namespace discforge::test
