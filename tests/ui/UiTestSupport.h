// What the window tests share: the Qt application, a small skin written by the
// test into its own folder, and the window with recording ports around it.
#pragma once

#include "core/headless/HeadlessFilterDialog.h"
#include "core/headless/HeadlessPower.h"
#include "core/headless/HeadlessShell.h"
#include "core/headless/RecordingMessagePort.h"
#include "platform/ProfileStore.h"
#include "support/FakeEncoder.h"
#include "support/TestFolder.h"
#include "ui/FileChooser.h"
#include "ui/TMordaxApp.h"
#include "ui/TMyFrameWindow.h"

#include <QColor>
#include <QImage>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QApplication;

namespace discforge::test {

// The one Qt application of the test program; the run log goes into a
// folder of its own.
QApplication& TestApplication();

// The colours the test skin paints, one per picture.
inline const QColor backgroundColour{40, 60, 80};
inline const QColor inputPlaceholderColour{200, 0, 0};
inline const QColor outputPlaceholderColour{0, 200, 0};
// Faces 0 to 3 of every button strip.
inline const QColor faceColours[4] = {{255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {128, 128, 128}};

// A layout that places every control; MainSize 600 x 400.
std::string FullLayout();

// A skin folder: <folder>/UI/position.txt with `layout` and plain one-colour
// pictures, written as BMP (the readers go by content, not by name).
void WriteSkin(const std::string& folder, const std::string& layout);

// The files the dialogs "choose": each call takes the next answer; none is a cancel.
class ScriptedFileChooser final : public ui::FileChooser {
public:
    std::optional<std::string> ChooseMediaFile() override { return Next(mediaAnswers); }
    std::optional<std::string> ChooseOutputFile() override { return Next(outputAnswers); }
    std::optional<std::string> ChooseProjectToSave() override { return Next(projectAnswers); }
    std::optional<std::string> ChooseProjectToOpen() override { return Next(projectAnswers); }
    std::optional<std::string> ChooseDiscFolder() override { return Next(folderAnswers); }
    std::optional<std::string> ChooseMenuPicture() override { return Next(pictureAnswers); }

    std::deque<std::optional<std::string>> mediaAnswers;
    std::deque<std::optional<std::string>> outputAnswers;
    std::deque<std::optional<std::string>> projectAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> pictureAnswers;
    int asked = 0;

private:
    std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers);
};

// The window as the program makes it, over a test skin, a profile in the
// test's folder, the stand-in encoder and recording ports.
class WindowRig {
public:
    // Without `library` the stand-in encoder; without `chooser` the scripted `files`.
    // `dress` may change the skin's pictures in <folder>/UI before the window reads them.
    explicit WindowRig(const std::string& layout = FullLayout(), const std::string& library = "",
        ui::FileChooser* chooser = nullptr, const std::function<void(const std::string& skin)>& dress = {});
    ~WindowRig();

    ui::TMainWindow& Window() { return *app->MainWindow(); }
    ui::TMyFrameWindow& Frame() { return *app->Frame(); }
    AppCore& Core() { return Window().Core(); }
    // Runs the event loop until `done` holds or about `seconds` have passed.
    bool WaitFor(const std::function<bool()>& done, double seconds = 10);
    // Lets queued commands and events run.
    void Settle();
    bool FrameOpen() const;
    // A picture list of `pictures` numbered pictures in the test's folder.
    std::string MakeList(const std::string& name, int pictures);
    // Dispatches a command as its control would.
    bool Command(int id, unsigned notification = 0);
    // Opens the input list's context menu and reads its entries, each with whether it is enabled.
    std::map<QString, bool> InputListMenuEntries();

    TestFolder folder;
    FakeEncoder fake{"full"};
    RecordingMessagePort messages;
    HeadlessShell shell;
    HeadlessPower power;
    HeadlessFilterDialog filterDialog;
    ScriptedFileChooser files;
    std::unique_ptr<ProfileStore> profile;
    std::unique_ptr<ui::TMordaxApp> app;
};

// The colour in the middle of a widget's rectangle as the window shows it.
QColor ColourAt(const QImage& picture, const QRect& rect);

} // namespace discforge::test
