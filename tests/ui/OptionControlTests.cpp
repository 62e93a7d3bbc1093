// The option controls' checks: the picture size fields put the stored size
// back, the maximum-size field says why it refuses, and the letters that are
// also keyboard commands still reach a field being typed in.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/ResponseTable.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

class OptionControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig_.files.mediaAnswers.push_back(rig_.MakeList("clip.lst", 3));
        ASSERT_TRUE(rig_.Command(control::openInput));
    }
    // Types `text` into the field as the program would find it, then leaves it.
    std::string Leave(int id, const std::string& text)
    {
        rig_.Window().Controls().SetText(id, text);
        rig_.Command(id, ui::notify::focusLost);
        return rig_.Window().Controls().Text(id);
    }
    const PictureOptions& Options() { return rig_.Core().Inputs().inputTable[0].pictureOptions; }

    WindowRig rig_;
};

TEST_F(OptionControls, OpeningAnInputStoresTheShownPictureSizeAsItsOutputSize)
{
    EXPECT_EQ(Options().outputWidth, 352);
    EXPECT_EQ(Options().outputHeight, 240);
}

TEST_F(OptionControls, TheWidthIsTakenFromTwoToNineteenTwentyAndOtherwisePutBack)
{
    EXPECT_EQ(Leave(control::widthEdit, "1"), "352");
    EXPECT_EQ(Options().outputWidth, 352);
    EXPECT_EQ(Leave(control::widthEdit, "2"), "2");
    EXPECT_EQ(Options().outputWidth, 2);
    EXPECT_EQ(Leave(control::widthEdit, "1921"), "2");
    EXPECT_EQ(Leave(control::widthEdit, "1920"), "1920");
    EXPECT_EQ(Options().outputWidth, 1920);
    EXPECT_EQ(Leave(control::widthEdit, "720px"), "720px");
    EXPECT_EQ(Options().outputWidth, 720) << "the leading digits count";
    EXPECT_EQ(Leave(control::widthEdit, "wide"), "720");
    EXPECT_EQ(Leave(control::widthEdit, "99999999999"), "720");
    EXPECT_TRUE(rig_.messages.shown.empty()) << "the size fields refuse silently";
}

TEST_F(OptionControls, TheHeightIsTakenFromTwoToElevenFiftyTwo)
{
    EXPECT_EQ(Leave(control::heightEdit, "1153"), "240");
    EXPECT_EQ(Leave(control::heightEdit, "1152"), "1152");
    EXPECT_EQ(Options().outputHeight, 1152);
    EXPECT_EQ(Leave(control::heightEdit, "1"), "1152");
    EXPECT_EQ(Leave(control::heightEdit, " 576"), " 576");
    EXPECT_EQ(Options().outputHeight, 576);
}

TEST_F(OptionControls, TheMaximumSizeIsOneToFourThousandNinetySixAndARefusalSaysSo)
{
    EXPECT_EQ(Leave(control::maxSizeEdit, "4096"), "4096");
    EXPECT_EQ(rig_.Core().Settings().maxFileSizeMB, 4096);
    EXPECT_TRUE(rig_.messages.shown.empty());
    EXPECT_EQ(Leave(control::maxSizeEdit, "4097"), "4096");
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].text, "Max File size range is (1M .. 4096M).");
    EXPECT_EQ(rig_.messages.shown[0].caption, "Ferrowick Discforge - invalid entry");
    EXPECT_EQ(Leave(control::maxSizeEdit, "0"), "4096");
    EXPECT_EQ(rig_.messages.shown.size(), 2u);
    EXPECT_EQ(Leave(control::maxSizeEdit, "1"), "1");
    EXPECT_EQ(rig_.Core().Settings().maxFileSizeMB, 1);
}

TEST_F(OptionControls, SplittingEnablesTheSizeFieldAndChecksIt)
{
    rig_.Window().Controls().SetText(control::maxSizeEdit, "5000");
    QTest::mouseClick(rig_.Window().Controls().Find(control::splitCheck), Qt::LeftButton);
    EXPECT_TRUE(rig_.Core().Settings().splitOutput);
    EXPECT_TRUE(rig_.Window().Controls().IsEnabled(control::maxSizeEdit));
    ASSERT_EQ(rig_.messages.shown.size(), 1u) << "switching on checks the size";
    EXPECT_EQ(rig_.Window().Controls().Text(control::maxSizeEdit), "600");

    rig_.Window().Controls().SetText(control::maxSizeEdit, "5000");
    QTest::mouseClick(rig_.Window().Controls().Find(control::splitCheck), Qt::LeftButton);
    EXPECT_FALSE(rig_.Core().Settings().splitOutput);
    EXPECT_FALSE(rig_.Window().Controls().IsEnabled(control::maxSizeEdit));
    EXPECT_EQ(rig_.messages.shown.size(), 1u) << "switching off checks nothing";
}

TEST_F(OptionControls, TheSizeFieldsCannotBeTypedIntoButLeavingThemStoresTheShownSize)
{
    auto* width = qobject_cast<QLineEdit*>(rig_.Window().Controls().Find(control::widthEdit));
    ASSERT_NE(width, nullptr);
    Leave(control::widthEdit, "100");
    width->setText("352");
    width->setFocus();
    QTest::keyClicks(width, "9");
    EXPECT_EQ(width->text(), "352");
    rig_.Window().InputList()->setFocus();
    EXPECT_EQ(Options().outputWidth, 352);
}

TEST_F(OptionControls, TheLettersNAndTReachTheOutputNameField)
{
    auto* name = qobject_cast<QLineEdit*>(rig_.Window().Controls().Find(control::outputName));
    ASSERT_NE(name, nullptr);
    name->clear();
    name->setFocus();
    QTest::keyClicks(name, "Tonight in town.mpg");
    EXPECT_EQ(name->text(), "Tonight in town.mpg");
    rig_.Window().InputList()->setFocus();
    EXPECT_EQ(rig_.Core().Inputs().inputTable[0].outputPath, "Tonight in town.mpg") << "leaving the field stores it";

    // Elsewhere the letters are the window's (silent) commands and change nothing.
    QTest::keyClicks(rig_.Window().InputList(), "ntNT");
    EXPECT_EQ(name->text(), "Tonight in town.mpg");
    EXPECT_EQ(rig_.Core().Inputs().inputCount, 1);
}

TEST_F(OptionControls, ANameStillBeingTypedCountsWhenTheConversionStartsWithEnter)
{
    auto* name = qobject_cast<QLineEdit*>(rig_.Window().Controls().Find(control::outputName));
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, rig_.folder.File("typed.mpg").c_str());
    QTest::keyClick(name, Qt::Key_Return);
    rig_.Settle();
    const std::vector<std::string> calls = rig_.fake.Calls();
    ASSERT_TRUE(std::any_of(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.rfind("make " + rig_.folder.File("typed.mpg") + " ", 0) == 0;
    })) << "the encoder was handed the typed name";
}

TEST_F(OptionControls, CheckingFillInClearsTheOtherFittingAndUncheckingLeavesProportional)
{
    QTest::mouseClick(rig_.Window().Controls().Find(control::fillRadio), Qt::LeftButton);
    EXPECT_EQ(Options().fitting, FitMode::fillIn);
    rig_.Window().Controls().SetChecked(control::fillRadio, false);
    rig_.Command(control::fillRadio);
    EXPECT_EQ(Options().fitting, FitMode::proportional);
}

} // namespace
} // namespace discforge::test
