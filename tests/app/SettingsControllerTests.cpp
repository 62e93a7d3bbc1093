#include "app/AppParts.h"
#include "core/ControlIds.h"
#include "support/FakeEncoder.h"
#include "support/HeadlessAppPorts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discforge {
namespace {

class SettingsControllerTest : public ::testing::Test {
protected:
    void SetUp() override { Load(0); }

    void Load(int initResult)
    {
        core_.reset();
        fake_ = std::make_unique<test::FakeEncoder>("full", initResult);
        ASSERT_TRUE(fake_->Loaded());
        core_ = std::make_unique<AppParts>(
            ports_.Ports(), hooks_);
        ASSERT_TRUE(core_->encoder.Load(fake_->Path()));
        ASSERT_FALSE(core_->encoder.Resolve().has_value());
        core_->settingsController.ApplyDefaults();
    }

    std::vector<std::string> InitCalls() const
    {
        std::vector<std::string> inits;
        for (const std::string& call : fake_->Calls()) {
            if (call.rfind("init", 0) == 0) {
                inits.push_back(call);
            }
        }
        return inits;
    }

    ConversionSettings& Settings() { return core_->settings; }
    SettingsController& Controller() { return core_->settingsController; }

    test::HeadlessAppPorts ports_;
    int reapplied_ = 0;
    bool inputsIdle_ = true;
    SizeEditHooks hooks_{[this] { return inputsIdle_; }, [this] { ++reapplied_; }};
    std::unique_ptr<test::FakeEncoder> fake_;
    std::unique_ptr<AppParts> core_;
};

TEST_F(SettingsControllerTest, DefaultsAreVcdNtscWithSplittingOff)
{
    EXPECT_EQ(Settings().outputFormat, formatVcd);
    EXPECT_EQ(Settings().tvStandard, standardNtsc);
    EXPECT_EQ(Settings().encoderFormatCode(), 1);
    EXPECT_EQ(ports_.controls.Text(control::widthEdit), "352");
    EXPECT_EQ(ports_.controls.Text(control::heightEdit), "240");
    EXPECT_EQ(ports_.controls.Text(control::maxSizeEdit), "600");
    EXPECT_FALSE(ports_.controls.IsEnabled(control::maxSizeEdit));
    EXPECT_TRUE(ports_.controls.IsChecked(control::vcdRadio));
    EXPECT_TRUE(ports_.controls.IsChecked(control::ntscRadio));
    EXPECT_FALSE(ports_.controls.IsChecked(control::palRadio));
    EXPECT_FALSE(ports_.controls.IsChecked(control::dvdRadio));
    EXPECT_FALSE(ports_.controls.IsChecked(control::svcdRadio));
    EXPECT_EQ(Settings().maxFileSizeMB, 600);
    EXPECT_FALSE(Settings().splitOutput);
}

struct FormatCase {
    int standard;
    int format;
    int code;
    int width;
    int height;
    int audioRate;
};

TEST_F(SettingsControllerTest, EveryFormatAndStandardGivesItsSizeAndCode)
{
    const FormatCase cases[] = {
        {standardNtsc, formatVcd, 1, 352, 240, 44100},
        {standardNtsc, formatSvcd, 3, 480, 480, 44100},
        {standardNtsc, formatDvd, 4, 720, 480, 48000},
        {standardPal, formatVcd, 17, 352, 288, 44100},
        {standardPal, formatSvcd, 19, 480, 576, 44100},
        {standardPal, formatDvd, 20, 720, 576, 48000},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        // Start from another format so the choice is a change.
        ASSERT_TRUE(Controller().ChooseFormat(c.format == formatVcd ? formatDvd : formatVcd));
        ASSERT_TRUE(Controller().ChooseStandard(c.standard));
        ASSERT_TRUE(Controller().ChooseFormat(c.format));
        EXPECT_EQ(InitCalls().back(), "init " + std::to_string(c.code));
        EXPECT_EQ(Settings().encoderFormatCode(), c.code);
        EXPECT_EQ(Settings().frameWidth, c.width);
        EXPECT_EQ(Settings().frameHeight, c.height);
        EXPECT_EQ(ports_.controls.Text(control::widthEdit), std::to_string(c.width));
        EXPECT_EQ(ports_.controls.Text(control::heightEdit), std::to_string(c.height));
        EXPECT_EQ(FormatAudioRate(c.format), c.audioRate);
    }
    EXPECT_TRUE(ports_.messages.shown.empty());
}

TEST_F(SettingsControllerTest, ChoosingTheCurrentFormatStillCallsTheLibraryButKeepsTheSize)
{
    ASSERT_TRUE(Controller().ChooseFormat(formatDvd));
    Settings().videoSettingsChanged = false;
    Settings().audioSettingsChanged = false;
    ports_.controls.SetText(control::widthEdit, "640");
    Settings().frameWidth = 640;
    const std::size_t before = InitCalls().size();
    const int reappliedBefore = reapplied_;

    ASSERT_TRUE(Controller().ChooseFormat(formatDvd));

    EXPECT_EQ(InitCalls().size(), before + 1);
    EXPECT_EQ(InitCalls().back(), "init 4");
    EXPECT_TRUE(Settings().videoSettingsChanged);
    EXPECT_TRUE(Settings().audioSettingsChanged);
    EXPECT_EQ(Settings().frameWidth, 640);
    EXPECT_EQ(ports_.controls.Text(control::widthEdit), "640");
    EXPECT_EQ(reapplied_, reappliedBefore);
}

TEST_F(SettingsControllerTest, ChoosingAStandardTwiceCallsTheLibraryAndRewritesTheEditsEachTime)
{
    ASSERT_TRUE(Controller().ChooseStandard(standardNtsc));
    ports_.controls.SetText(control::heightEdit, "100");
    ASSERT_TRUE(Controller().ChooseStandard(standardNtsc));
    EXPECT_EQ(InitCalls(), (std::vector<std::string>{"init 1", "init 1"}));
    EXPECT_EQ(ports_.controls.Text(control::heightEdit), "240");
    EXPECT_EQ(reapplied_, 2);
}

TEST_F(SettingsControllerTest, AFormatChangeReappliesTheSizeOnlyWithIdleInputs)
{
    inputsIdle_ = false;
    ASSERT_TRUE(Controller().ChooseFormat(formatSvcd));
    EXPECT_EQ(reapplied_, 0);
    inputsIdle_ = true;
    ASSERT_TRUE(Controller().ChooseFormat(formatDvd));
    EXPECT_EQ(reapplied_, 1);
}

TEST_F(SettingsControllerTest, ARefusingLibraryShowsTheFormatsMessageAndClosesTheWindow)
{
    Load(1);
    const struct {
        int format;
        const char* text;
    } cases[] = {{formatVcd, "Could not initialize convert.dll."}, {formatDvd, "Could not initialize convert.dll."},
        {formatSvcd, "Can not initialize convert.dll."}};
    for (const auto& c : cases) {
        ports_.messages.shown.clear();
        ports_.window.closeRequests = 0;
        EXPECT_FALSE(Controller().ChooseFormat(c.format));
        ASSERT_EQ(ports_.messages.shown.size(), 1u);
        EXPECT_EQ(ports_.messages.shown[0].text, c.text);
        EXPECT_EQ(ports_.messages.shown[0].caption, "Ferrowick Discforge - startup convert.dll error");
        EXPECT_EQ(ports_.messages.shown[0].icon, MessageIcon::None);
        EXPECT_EQ(ports_.window.closeRequests, 1);
    }
    EXPECT_EQ(Settings().outputFormat, formatVcd);
}

TEST_F(SettingsControllerTest, ARefusedStandardIsStillStoredAndClosesTheWindow)
{
    Load(1);
    EXPECT_FALSE(Controller().ChooseStandard(standardPal));
    EXPECT_EQ(Settings().tvStandard, standardPal);
    ASSERT_EQ(ports_.messages.shown.size(), 1u);
    EXPECT_EQ(ports_.messages.shown[0].text, "Can not initialize convert.dll.");
    EXPECT_EQ(ports_.window.closeRequests, 1);
    EXPECT_EQ(Settings().frameHeight, 240);
}

} // namespace
} // namespace discforge
