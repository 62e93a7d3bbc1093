// Decoder settings across runs of the program: a value chosen in the dialog is
// written to the profile and applied at the next run's open without the
// dialog; Reset forgets it; a value given for one run (the command line) is
// checked, applied and not written down.
#include "ConversionRig.h"

#include "app/AppCore.h"
#include "app/EncoderCallbacks.h"
#include "platform/ProfileStore.h"
#include "support/HeadlessAppPorts.h"
#include "support/TestFolder.h"

#include "SampleMedia.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

namespace discforge::test {
namespace {

constexpr const char* mpeg4Decoder = "MPEG-4 Part 2 Video decoder";

class DecoderSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_STATE_HOME", folder_.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_STATE_HOME"); }

    static std::string Clip()
    {
        mediagen::AviRecipe recipe;
        recipe.width = 320;
        recipe.height = 240;
        recipe.frames = 10;
        return SampleAvi(recipe);
    }

    // One run of the program over the profile: the dialog does `script` when given;
    // the opened input's picture width.
    int WidthInARun(const std::function<void(FilterGraph&)>& script)
    {
        ProfileStore profile(folder_.File("profile.ini"));
        HeadlessAppPorts ports;
        AppCore core(ports.Ports());
        core.KeepDecoderOptionsIn(profile);
        core.SetEditFilters(static_cast<bool>(script));
        ports.filterDialog.script = script;
        if (!core.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}) || !core.OpenInput(Clip())) {
            ADD_FAILURE() << "the run did not open its input";
            return 0;
        }
        EXPECT_EQ(ports.filterDialog.shownChains.size(), script ? 1u : 0u);
        const int width = core.Inputs().inputTable[0].width;
        core.Teardown();
        return width;
    }

    TestFolder folder_;
    FakeEncoder fake_{"full"};
};

TEST_F(DecoderSettingsTest, AChoiceIsRememberedForTheNextRunUntilItIsReset)
{
    EXPECT_EQ(WidthInARun([](FilterGraph& graph) { graph.ChooseOptions(mpeg4Decoder, {{"lowres", "1"}}); }), 160);
    {
        ProfileStore profile(folder_.File("profile.ini"));
        EXPECT_EQ(profile.ReadSection("DecoderOptions/MPEG-4 Part 2 Video decoder"),
            (std::map<std::string, std::string>{{"lowres", "1"}}));
    }
    EXPECT_EQ(WidthInARun(nullptr), 160);
    EXPECT_EQ(WidthInARun([](FilterGraph& graph) { graph.ResetOptions(mpeg4Decoder); }), 320);
    EXPECT_EQ(WidthInARun(nullptr), 320);
    ProfileStore profile(folder_.File("profile.ini"));
    EXPECT_TRUE(profile.ReadSection("DecoderOptions/MPEG-4 Part 2 Video decoder").empty());
}

TEST_F(DecoderSettingsTest, AValueForTheRunIsCheckedAppliedAndNotWrittenDown)
{
    ProfileStore profile(folder_.File("profile.ini"));
    HeadlessAppPorts ports;
    AppCore core(ports.Ports());
    core.KeepDecoderOptionsIn(profile);
    EXPECT_EQ(core.SetDecoderOption(mpeg4Decoder, "lowres", "-2"), "-2 for 'lowres' is out of range (0 to 2147483647)");
    EXPECT_TRUE(core.Settings().decoderOptions.Values().empty());
    EXPECT_EQ(core.SetDecoderOption(mpeg4Decoder, "lowres", "1"), "");
    ASSERT_TRUE(core.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
    ASSERT_TRUE(core.OpenInput(Clip()));
    EXPECT_EQ(core.Inputs().inputTable[0].width, 160);
    core.Teardown();
    EXPECT_TRUE(profile.InnerSections("DecoderOptions").empty());
}

} // namespace
} // namespace discforge::test
