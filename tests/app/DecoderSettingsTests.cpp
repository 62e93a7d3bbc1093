// The decoder settings apart from any media: what the dialog's decisions are
// (which components it lists, what Properties finds, what OK sends), how the
// store combines remembered and run-only values, and how the profile keeps
// them per component, whatever the component's name holds.
#include "app/DecoderOptionProfile.h"
#include "core/DecoderOptionStore.h"
#include "core/FilterDialogModel.h"
#include "core/headless/RecordingMessagePort.h"
#include "platform/ProfileStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace discforge {
namespace {

// A chain whose answers the test sets; it records what the dialog chose.
class FakeGraph final : public FilterGraph {
public:
    std::vector<MediaComponent> Components() const override { return components; }
    OptionsLookup Options(const std::string& component, std::vector<ComponentOption>& found) const override
    {
        found = options;
        return component == "gone decoder" ? OptionsLookup::NoComponent : lookup;
    }
    std::string ChooseOptions(const std::string& component, const OptionValues& values) override
    {
        chosen.emplace_back(component, values);
        return refusal;
    }
    void ResetOptions(const std::string& component) override { resets.push_back(component); }

    std::vector<MediaComponent> components;
    std::vector<ComponentOption> options;
    OptionsLookup lookup = OptionsLookup::Found;
    std::string refusal;
    std::vector<std::pair<std::string, OptionValues>> chosen;
    std::vector<std::string> resets;
};

ComponentOption Option(const std::string& name, const std::string& defaultValue, const std::string& current)
{
    ComponentOption option;
    option.name = name;
    option.defaultValue = defaultValue;
    option.currentValue = current;
    return option;
}

TEST(FilterDialogModel, OnlyNamedComponentsWithSettingsAreListedInChainOrder)
{
    FakeGraph graph;
    RecordingMessagePort messages;
    FilterDialogModel model(graph, messages);
    EXPECT_EQ(FilterDialogModel::Caption(), "Ferrowick Discforge - filter properties");
    graph.components = {{"AVI source", false}, {"", true}, {"A decoder", true}, {"Picture converter", true}};
    EXPECT_EQ(model.ListedComponents(), (std::vector<std::string>{"A decoder", "Picture converter"}));
    graph.components = {{"A source", false}, {"A decoder", false}};
    EXPECT_TRUE(model.ListedComponents().empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(FilterDialogModel, PropertiesShowTheReasonWhenTheComponentCannotBeHad)
{
    FakeGraph graph;
    graph.options = {Option("lowres", "0", "0")};
    RecordingMessagePort messages;
    FilterDialogModel model(graph, messages);
    const auto found = model.PropertiesOf("A decoder");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->size(), 1u);
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_FALSE(model.PropertiesOf("gone decoder"));
    graph.lookup = OptionsLookup::NoOptions;
    EXPECT_FALSE(model.PropertiesOf("A source"));
    graph.lookup = OptionsLookup::Failed;
    EXPECT_FALSE(model.PropertiesOf("A decoder"));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "Unable to find specified filter");
    EXPECT_EQ(messages.shown[0].caption, "Ferrowick Discforge");
    EXPECT_EQ(messages.shown[1].text, "Unable to find filter properties");
    EXPECT_EQ(messages.shown[2].text, "Unable to get property pages");
}

TEST(FilterDialogModel, OkChoosesTheValuesThatDifferFromTheDefaultsAndShowsARefusal)
{
    FakeGraph graph;
    RecordingMessagePort messages;
    FilterDialogModel model(graph, messages);
    const std::vector<ComponentOption> shown{
        Option("lowres", "0", "0"), Option("threads", "1", "4"), Option("skip_frame", "default", "default")};
    EXPECT_TRUE(model.Choose("A decoder", shown, {{"lowres", "1"}, {"threads", "4"}, {"skip_frame", "default"}}));
    ASSERT_EQ(graph.chosen.size(), 1u);
    EXPECT_EQ(graph.chosen[0].first, "A decoder");
    EXPECT_EQ(graph.chosen[0].second, (OptionValues{{"lowres", "1"}, {"threads", "4"}}));
    EXPECT_TRUE(messages.shown.empty());

    graph.refusal = "-1 for 'lowres' is out of range (0 to 3)";
    EXPECT_FALSE(model.Choose("A decoder", shown, {{"lowres", "-1"}}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "A decoder: -1 for 'lowres' is out of range (0 to 3)");

    model.Reset("A decoder");
    EXPECT_EQ(graph.resets, std::vector<std::string>{"A decoder"});
}

TEST(DecoderOptionStore, RunValuesGoOverRememberedOnesAndAChoiceGoesOverBoth)
{
    DecoderOptionStore store;
    std::vector<std::pair<std::string, OptionValues>> kept;
    store.Keep({{"A decoder", {{"lowres", "1"}, {"threads", "2"}}}},
        [&](const std::string& component, const OptionValues& values) { kept.emplace_back(component, values); });
    store.SetForRun("A decoder", "lowres", "2");
    store.SetForRun("Picture converter", "sws_flags", "neighbor");
    EXPECT_EQ(store.Values(),
        (ComponentSettings{
            {"A decoder", {{"lowres", "2"}, {"threads", "2"}}}, {"Picture converter", {{"sws_flags", "neighbor"}}}}));
    EXPECT_TRUE(kept.empty()) << "values for the run are not written down";

    store.Remember("A decoder", {{"skip_frame", "nokey"}});
    EXPECT_EQ(store.Values(),
        (ComponentSettings{
            {"A decoder", {{"skip_frame", "nokey"}}}, {"Picture converter", {{"sws_flags", "neighbor"}}}}));
    store.Remember("Picture converter", {});
    EXPECT_EQ(store.Values(), (ComponentSettings{{"A decoder", {{"skip_frame", "nokey"}}}}));
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], (std::pair<std::string, OptionValues>{"A decoder", {{"skip_frame", "nokey"}}}));
    EXPECT_EQ(kept[1], (std::pair<std::string, OptionValues>{"Picture converter", {}}));
}

class DecoderOptionProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = (std::filesystem::path(::testing::TempDir())
            / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini"))
                    .string();
        std::filesystem::remove(path_);
    }
    void TearDown() override { std::filesystem::remove(path_); }

    std::string path_;
};

TEST_F(DecoderOptionProfileTest, EachComponentKeepsItsValuesWhateverItsNameHolds)
{
    const ComponentSettings chosen{{"QuickTime / MOV source", {{"use_mfra_for", "pts"}}},
        {"MPEG-4 Part 2 Video decoder", {{"lowres", "1"}, {"skip_frame", "nokey"}}},
        {"100% odd \\ name", {{"threads", "2"}}}};
    {
        ProfileStore profile(path_);
        for (const auto& [component, values] : chosen) {
            WriteDecoderOptions(profile, component, values);
        }
        profile.WriteString("Ferrowick Discforge", "editFilters", "1");
    }
    {
        ProfileStore profile(path_);
        EXPECT_EQ(ReadDecoderOptions(profile), chosen);
        EXPECT_EQ(profile.ReadInt("Ferrowick Discforge", "editFilters", 0), 1);
        // A new choice replaces the component's values; none forgets them.
        WriteDecoderOptions(profile, "MPEG-4 Part 2 Video decoder", {{"threads", "3"}});
        WriteDecoderOptions(profile, "QuickTime / MOV source", {});
    }
    ProfileStore profile(path_);
    EXPECT_EQ(ReadDecoderOptions(profile),
        (ComponentSettings{
            {"MPEG-4 Part 2 Video decoder", {{"threads", "3"}}}, {"100% odd \\ name", {{"threads", "2"}}}}));
    std::stringstream text;
    text << std::ifstream(path_).rdbuf();
    EXPECT_EQ(text.str().find("[QuickTime"), std::string::npos) << text.str();
}

} // namespace
} // namespace discforge
