// Decoder settings: the dialog opens only when the user asks for it, once, and
// never by itself during activations, runs or project loads; what is chosen in
// it is that input's own, kept through activations, runs and project files. A
// value given for one run (the command line) is checked, applied to every input
// and not written down.
#include "ConversionRig.h"

#include "app/AppCore.h"
#include "app/DecoderOptionProfile.h"
#include "app/EncoderCallbacks.h"
#include "platform/ProfileStore.h"
#include "support/HeadlessAppPorts.h"
#include "support/TestFolder.h"

#include "SampleMedia.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

    // Two copies of the clip, so that the two inputs are different files.
    std::string ClipNamed(const std::string& name)
    {
        std::filesystem::copy_file(Clip(), folder_.File(name), std::filesystem::copy_options::overwrite_existing);
        return folder_.File(name);
    }

    static void ChooseLowResolution(FilterGraph& graph) { graph.ChooseOptions(mpeg4Decoder, {{"lowres", "1"}}); }

    TestFolder folder_;
    FakeEncoder fake_{"full"};
};

TEST_F(DecoderSettingsTest, TheDialogOpensOnceWhenAskedAndItsChoiceBelongsToThatInputAlone)
{
    HeadlessAppPorts ports;
    AppCore core(ports.Ports());
    ASSERT_TRUE(core.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
    ASSERT_TRUE(core.OpenInput(ClipNamed("first.avi")));
    ASSERT_TRUE(core.OpenInput(ClipNamed("second.avi")));
    EXPECT_TRUE(ports.filterDialog.shownChains.empty()) << "nobody asked for the dialog";

    ASSERT_TRUE(core.SelectInput(0));
    ports.filterDialog.script = ChooseLowResolution;
    ASSERT_TRUE(core.EditDecoderSettings());
    ports.filterDialog.script = nullptr;
    ASSERT_EQ(ports.filterDialog.shownChains.size(), 1u);
    const InputEntry& first = core.Inputs().inputTable[0];
    const InputEntry& second = core.Inputs().inputTable[1];
    EXPECT_EQ(first.width, 160) << "the reduced resolution is in force at once";
    EXPECT_EQ(first.decoderChoices, (ComponentSettings{{mpeg4Decoder, {{"lowres", "1"}}}}));

    // Activations and a whole batch open each input again, without the dialog.
    ASSERT_TRUE(core.SelectInput(1));
    EXPECT_EQ(second.width, 320) << "the other input keeps the decoder's defaults";
    EXPECT_TRUE(second.decoderChoices.empty());
    ASSERT_TRUE(core.SelectInput(0));
    EXPECT_EQ(first.width, 160) << "the choice stays with its input";
    core.StartConversion();
    EXPECT_EQ(ports.filterDialog.shownChains.size(), 1u) << "the batch stopped at no dialog";
    const std::vector<std::string> calls = fake_.Calls();
    EXPECT_EQ(
        std::count_if(calls.begin(), calls.end(), [](const std::string& call) { return call.rfind("make ", 0) == 0; }),
        2)
        << "both inputs were converted";

    // A list of pictures has no decoder to set.
    ASSERT_TRUE(core.OpenInput(SampleList(2, 64, 48, true)));
    EXPECT_FALSE(core.EditDecoderSettings());
    EXPECT_EQ(ports.filterDialog.shownChains.size(), 1u);
    core.Teardown();
}

TEST_F(DecoderSettingsTest, WithEditFiltersOnEachFileTheUserOpensAsksOnceAndAResetGivesTheDefaultsBack)
{
    ProfileStore profile(folder_.File("profile.ini"));
    // A value kept in the profile applies to every input that has no choice of its own.
    WriteDecoderOptions(profile, mpeg4Decoder, {{"lowres", "1"}});
    HeadlessAppPorts ports;
    AppCore core(ports.Ports());
    core.KeepDecoderOptionsIn(profile);
    core.SetEditFilters(true);
    ASSERT_TRUE(core.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
    ports.filterDialog.script = [](FilterGraph& graph) { graph.ResetOptions(mpeg4Decoder); };
    ASSERT_TRUE(core.AddInput(ClipNamed("reset.avi")));
    EXPECT_EQ(ports.filterDialog.shownChains.size(), 1u);
    ports.filterDialog.script = nullptr;
    ASSERT_TRUE(core.AddInput(ClipNamed("common.avi")));
    EXPECT_EQ(ports.filterDialog.shownChains.size(), 2u);
    EXPECT_EQ(core.Inputs().inputTable[0].width, 320) << "reset: the decoder's own default for this input";
    EXPECT_EQ(core.Inputs().inputTable[1].width, 160) << "the profile's value";

    ASSERT_TRUE(core.SelectInput(0));
    core.StartConversion();
    EXPECT_EQ(ports.filterDialog.shownChains.size(), 2u) << "selections and the batch open no dialog";
    EXPECT_EQ(core.Inputs().inputTable[0].width, 320);
    core.Teardown();
}

TEST_F(DecoderSettingsTest, AProjectKeepsEachInputsChoiceAndOpensWithItWithoutTheDialog)
{
    const std::string project = folder_.File("settings.mdp");
    {
        HeadlessAppPorts ports;
        AppCore core(ports.Ports());
        ASSERT_TRUE(core.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
        ASSERT_TRUE(core.OpenInput(ClipNamed("chosen.avi")));
        ASSERT_TRUE(core.OpenInput(ClipNamed("plain.avi")));
        ASSERT_TRUE(core.SelectInput(0));
        ports.filterDialog.script = ChooseLowResolution;
        ASSERT_TRUE(core.EditDecoderSettings());
        ASSERT_TRUE(core.SaveProject(project));
        core.Teardown();
    }
    HeadlessAppPorts ports;
    AppCore core(ports.Ports());
    core.SetEditFilters(true);
    ASSERT_TRUE(core.Start(fake_.Path(), {SupplyVideoFrame, SupplyAudio}));
    ASSERT_TRUE(core.OpenProject(project));
    EXPECT_TRUE(ports.filterDialog.shownChains.empty()) << "a load asks nothing, even with editFilters on";
    ASSERT_EQ(core.Inputs().inputCount, 2);
    EXPECT_EQ(core.Inputs().inputTable[0].width, 160);
    EXPECT_EQ(core.Inputs().inputTable[0].pictureOptions.outputWidth, 160) << "opened with the choice from the first";
    EXPECT_EQ(core.Inputs().inputTable[0].decoderChoices, (ComponentSettings{{mpeg4Decoder, {{"lowres", "1"}}}}));
    EXPECT_EQ(core.Inputs().inputTable[1].width, 320);
    core.Teardown();
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
