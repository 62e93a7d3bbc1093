// Which controls take input with no inputs, with inputs, while a preview
// plays and while a conversion runs; and the commands a running conversion
// refuses, because the encoder reads the inputs and the settings.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/ResponseTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <map>

namespace discforge::test {
namespace {

using Enabled = std::map<int, bool>;

const int inputSide[] = {control::invertCheck, control::fillRadio, control::proportionalRadio, control::ntscRadio,
    control::palRadio, control::startConversion};
const int outputSide[] = {control::widthEdit, control::heightEdit, control::chooseOutput, control::outputName};
const int settings[]
    = {control::vcdRadio, control::dvdRadio, control::svcdRadio, control::splitCheck, control::inputList};
const int always[] = {control::help, control::about, control::checkLog, control::homePage, control::shutdownCheck};

Enabled Snapshot(WindowRig& rig)
{
    Enabled enabled;
    for (const int id : {control::invertCheck, control::fillRadio, control::proportionalRadio, control::ntscRadio,
             control::palRadio, control::startConversion, control::widthEdit, control::heightEdit,
             control::chooseOutput, control::outputName, control::vcdRadio, control::dvdRadio, control::svcdRadio,
             control::splitCheck, control::inputList, control::help, control::about, control::checkLog,
             control::homePage, control::shutdownCheck, control::openInput, control::exitButton, control::inputPlay,
             control::outputPlay, control::maxSizeEdit}) {
        enabled[id] = rig.Window().Controls().IsEnabled(id);
    }
    return enabled;
}

class Enabling : public ::testing::Test {
protected:
    void OpenList()
    {
        rig_.files.mediaAnswers.push_back(rig_.MakeList("list" + std::to_string(lists_++) + ".lst", 3));
        ASSERT_TRUE(rig_.Command(command::addInput));
    }
    // Runs `probe` while the conversion started by the convert button runs
    // (the stand-in encoder asks for a picture, whose supply pumps the events).
    void WhileConverting(const std::function<void()>& probe)
    {
        rig_.fake.PullFirstFrame();
        bool probed = false;
        QMetaObject::invokeMethod(
            &rig_.Window(),
            [&] {
                ASSERT_TRUE(rig_.Core().IsConverting());
                probe();
                probed = true;
            },
            Qt::QueuedConnection);
        rig_.Command(control::startConversion);
        rig_.Settle();
        ASSERT_TRUE(probed);
        ASSERT_FALSE(rig_.Core().IsConverting());
    }

    WindowRig rig_;
    int lists_ = 0;
};

TEST_F(Enabling, WithoutInputsOnlyOpeningTheSettingsAndTheDesktopCommandsTakeInput)
{
    const Enabled enabled = Snapshot(rig_);
    for (const int id : inputSide) {
        EXPECT_FALSE(enabled.at(id)) << id;
    }
    for (const int id : outputSide) {
        EXPECT_FALSE(enabled.at(id)) << id;
    }
    for (const int id : settings) {
        EXPECT_TRUE(enabled.at(id)) << id;
    }
    for (const int id : always) {
        EXPECT_TRUE(enabled.at(id)) << id;
    }
    EXPECT_TRUE(enabled.at(control::openInput));
    EXPECT_TRUE(enabled.at(control::exitButton));
    EXPECT_FALSE(enabled.at(control::inputPlay));
    EXPECT_FALSE(enabled.at(control::maxSizeEdit)) << "splitting is off";
    EXPECT_EQ(rig_.Window().Controls().Text(control::widthEdit), "0");
    EXPECT_EQ(rig_.Window().Controls().Text(control::heightEdit), "0");
}

TEST_F(Enabling, WithInputsEverythingTakesInput)
{
    OpenList();
    const Enabled enabled = Snapshot(rig_);
    for (const auto& [id, on] : enabled) {
        EXPECT_EQ(on, id != control::maxSizeEdit) << id;
    }
    EXPECT_EQ(rig_.Window().Controls().Text(control::widthEdit), "352");
    EXPECT_EQ(rig_.Window().Controls().Text(control::heightEdit), "240");
}

TEST_F(Enabling, WhileAPreviewPlaysOnlyItsOwnButtonAndTheSettingsTakeInput)
{
    OpenList();
    rig_.Core().BeginPlayback(PlayingSide::input);
    Enabled enabled = Snapshot(rig_);
    for (const int id : inputSide) {
        EXPECT_FALSE(enabled.at(id)) << id;
    }
    for (const int id : outputSide) {
        EXPECT_FALSE(enabled.at(id)) << id;
    }
    EXPECT_TRUE(enabled.at(control::inputPlay)) << "it is the stop button now";
    EXPECT_FALSE(enabled.at(control::outputPlay));
    EXPECT_FALSE(enabled.at(control::openInput));
    EXPECT_FALSE(enabled.at(control::exitButton));
    EXPECT_FALSE(enabled.at(control::inputList));
    EXPECT_TRUE(enabled.at(control::vcdRadio));

    rig_.Core().BeginPlayback(PlayingSide::output);
    enabled = Snapshot(rig_);
    EXPECT_FALSE(enabled.at(control::inputPlay));
    EXPECT_TRUE(enabled.at(control::outputPlay));

    rig_.Core().EndPlayback();
    EXPECT_TRUE(Snapshot(rig_).at(control::startConversion));
}

TEST_F(Enabling, WhileConvertingEverythingThatChangesInputsOrSettingsIsOff)
{
    OpenList();
    Enabled during;
    WhileConverting([&] { during = Snapshot(rig_); });
    for (const int id : inputSide) {
        EXPECT_FALSE(during.at(id)) << id;
    }
    for (const int id : outputSide) {
        EXPECT_FALSE(during.at(id)) << id;
    }
    for (const int id : settings) {
        EXPECT_FALSE(during.at(id)) << id;
    }
    for (const int id : always) {
        EXPECT_TRUE(during.at(id)) << id;
    }
    EXPECT_FALSE(during.at(control::openInput));
    EXPECT_FALSE(during.at(control::inputPlay));
    EXPECT_FALSE(during.at(control::outputPlay));
    EXPECT_TRUE(during.at(control::exitButton)) << "Exit asks whether to cancel";

    const Enabled after = Snapshot(rig_);
    EXPECT_TRUE(after.at(control::startConversion));
    EXPECT_TRUE(after.at(control::inputList));
}

TEST_F(Enabling, ARunningConversionRefusesEveryCommandThatChangesItsInputsOrSettings)
{
    OpenList();
    OpenList();
    const InputTableState& inputs = rig_.Core().Inputs();
    const std::string firstOutput = inputs.inputTable[0].outputPath;
    WhileConverting([&] {
        rig_.files.mediaAnswers.push_back(rig_.MakeList("late.lst", 2));
        rig_.files.outputAnswers.push_back("/discs/late.mpg");
        rig_.files.projectAnswers.push_back("/discs/late.mdp");
        // As a posted click would leave them before its command runs.
        for (const int id :
            {control::dvdRadio, control::palRadio, control::fillRadio, control::invertCheck, control::splitCheck}) {
            rig_.Window().Controls().SetChecked(id, true);
        }
        for (const int id :
            {control::openInput, command::addInput, command::removeInput, command::moveInputUp, command::moveInputDown,
                control::chooseOutput, control::dvdRadio, control::palRadio, control::fillRadio, control::invertCheck,
                control::splitCheck, control::startConversion, command::enterKey, command::openProject}) {
            rig_.Command(id);
        }
        rig_.Window().Controls().SetText(control::outputName, "/discs/typed.mpg");
        rig_.Command(control::outputName, ui::notify::focusLost);
        rig_.Window().InputList()->setCurrentRow(1);
        rig_.Settle();
    });
    EXPECT_EQ(inputs.inputCount, 2);
    EXPECT_EQ(rig_.files.asked, 2) << "no dialog opened during the run";
    EXPECT_EQ(rig_.Core().Settings().outputFormat, formatVcd);
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardNtsc);
    EXPECT_FALSE(rig_.Core().Settings().splitOutput);
    EXPECT_EQ(inputs.inputTable[0].outputPath, firstOutput);
    EXPECT_EQ(inputs.inputTable[0].pictureOptions.fitting, FitMode::proportional);
    EXPECT_FALSE(inputs.inputTable[0].pictureOptions.invert);
    EXPECT_EQ(rig_.Core().InputsEncoded(), 2) << "one run, not one per Start pressed during it";
    EXPECT_TRUE(rig_.Window().Controls().IsChecked(control::vcdRadio)) << "a refused radio shows the stored choice";
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::dvdRadio));
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::palRadio));
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::invertCheck));
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::splitCheck));
}

TEST_F(Enabling, WhileTheEncoderRunsTheFrameHandsTheFocusToItsProgressWindow)
{
    OpenList();
    const auto focusCalls = [this] {
        const std::vector<std::string> calls = rig_.fake.Calls();
        return std::count(calls.begin(), calls.end(), "setfocus");
    };
    QEvent activated(QEvent::ActivationChange);
    QApplication::sendEvent(&rig_.Frame(), &activated);
    EXPECT_EQ(focusCalls(), 0) << "no encoder runs";
    WhileConverting([&] {
        ASSERT_TRUE(rig_.Frame().isActiveWindow());
        QApplication::sendEvent(&rig_.Frame(), &activated);
    });
    EXPECT_EQ(focusCalls(), 1);
}

} // namespace
} // namespace discforge::test
