// The components' own options: which components offer them, how each is
// described, what a component refuses and why, and what a chosen value does
// to decoding (a decoder told to decode at half resolution delivers pictures
// of half the size, still showing their own frame numbers).
#include "MmStreamTestSupport.h"

#include "platform/MediaOptions.h"

#include <algorithm>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::VideoCodec;

constexpr const char* mpeg4Decoder = "MPEG-4 Part 2 Video decoder";
constexpr const char* aviSource = "AVI (Audio Video Interleaved) source";

std::string Mpeg4Clip()
{
    AviRecipe recipe;
    recipe.video = VideoCodec::Mpeg4;
    recipe.audio = AudioForm::Stereo16At44100;
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = 12;
    return SampleAvi(recipe);
}

const ComponentOption* Find(const std::vector<ComponentOption>& options, const std::string& name)
{
    const auto it = std::find_if(
        options.begin(), options.end(), [&](const ComponentOption& option) { return option.name == name; });
    return it != options.end() ? &*it : nullptr;
}

std::vector<ComponentOption> OptionsOfComponent(const std::string& component)
{
    const std::optional<ComponentIdentity> identity = FindComponent(component);
    EXPECT_TRUE(identity) << component;
    return identity ? OptionsOf(*identity, {}) : std::vector<ComponentOption>{};
}

TEST(MediaOptions, OnlyComponentsWithOptionsOfTheirOwnOfferThem)
{
    const std::string clip = Mpeg4Clip();
    MediaError error;
    auto matroska = MmStream::Open(RemuxedCopy(clip, "matroska", "options.mkv"), MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(matroska) << error.text;
    ASSERT_EQ(matroska->Components().size(), 3u);
    // The Matroska demuxer has no options of its own; its decoder and the converter have.
    EXPECT_EQ(matroska->Components()[0].name, "Matroska / WebM source");
    EXPECT_FALSE(matroska->Components()[0].hasSettings);
    EXPECT_TRUE(matroska->Components()[1].hasSettings);
    std::vector<ComponentOption> options;
    EXPECT_EQ(matroska->ComponentOptions("Matroska / WebM source", options), OptionsLookup::NoOptions);
    EXPECT_EQ(matroska->ComponentOptions("A decoder not in this chain", options), OptionsLookup::NoComponent);

    auto audio = MmStream::Open(clip, MmPurpose::PrimaryAudio, error);
    ASSERT_TRUE(audio) << error.text;
    // The sound has no picture converter.
    ASSERT_EQ(audio->Components().size(), 2u);
    ASSERT_EQ(audio->ComponentOptions(audio->Components()[1].name, options), OptionsLookup::Found);
    // An audio decoder offers the options for sound, not those for pictures.
    EXPECT_NE(Find(options, "request_sample_fmt"), nullptr);
    EXPECT_EQ(Find(options, "skip_loop_filter"), nullptr);
}

TEST(MediaOptions, EachOptionIsDescribedWithTheControlThatFitsIt)
{
    const std::vector<ComponentOption> decoder = OptionsOfComponent(mpeg4Decoder);
    const ComponentOption* lowres = Find(decoder, "lowres");
    ASSERT_NE(lowres, nullptr);
    EXPECT_EQ(lowres->control, OptionControl::Integer);
    EXPECT_EQ(lowres->minimum, 0);
    EXPECT_EQ(lowres->defaultValue, "0");
    EXPECT_FALSE(lowres->help.empty());

    const ComponentOption* skipFrame = Find(decoder, "skip_frame");
    ASSERT_NE(skipFrame, nullptr);
    EXPECT_EQ(skipFrame->control, OptionControl::Choice);
    EXPECT_EQ(skipFrame->defaultValue, "default");
    EXPECT_TRUE(std::any_of(skipFrame->constants.begin(), skipFrame->constants.end(),
        [](const OptionConstant& constant) { return constant.name == "nokey"; }));

    const ComponentOption* cropping = Find(decoder, "apply_cropping");
    ASSERT_NE(cropping, nullptr);
    EXPECT_EQ(cropping->control, OptionControl::CheckBox);
    EXPECT_EQ(cropping->defaultValue, "1");

    const ComponentOption* flags = Find(decoder, "flags");
    ASSERT_NE(flags, nullptr);
    EXPECT_EQ(flags->control, OptionControl::Flags);
    EXPECT_EQ(flags->defaultValue, "0");
    // Options for encoding only are not offered to a decoder.
    EXPECT_EQ(Find(decoder, "b"), nullptr);

    const std::vector<ComponentOption> converter = OptionsOfComponent("Picture converter");
    ASSERT_NE(Find(converter, "sws_flags"), nullptr);
    EXPECT_EQ(Find(converter, "sws_flags")->control, OptionControl::Flags);
    // The sizes and formats are the converter's own business for every picture.
    EXPECT_EQ(Find(converter, "srcw"), nullptr);
    EXPECT_EQ(Find(converter, "dst_format"), nullptr);

    const std::vector<ComponentOption> source = OptionsOfComponent(aviSource);
    // A switch that may also be left to the component is a choice of three.
    ASSERT_NE(Find(source, "use_odml"), nullptr);
    EXPECT_EQ(Find(source, "use_odml")->control, OptionControl::Choice);
    EXPECT_EQ(Find(source, "use_odml")->defaultValue, "true");
}

TEST(MediaOptions, ARefusedValueComesWithTheComponentsReason)
{
    const std::optional<ComponentIdentity> decoder = FindComponent(mpeg4Decoder);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(CheckOption(*decoder, "lowres", "1"), "");
    EXPECT_EQ(CheckOption(*decoder, "skip_frame", "nokey"), "");
    EXPECT_EQ(CheckOption(*decoder, "flags", "gray+unaligned"), "");
    EXPECT_EQ(CheckOption(*decoder, "lowres", "-1"), "-1 for 'lowres' is out of range (0 to 2147483647)");
    EXPECT_EQ(
        CheckOption(*decoder, "lowres", "half"), "'half' is not a valid value for 'lowres' (a whole number expected)");
    const std::string unknownChoice = CheckOption(*decoder, "skip_frame", "sideways");
    EXPECT_EQ(unknownChoice.rfind("'sideways' is not one of the choices for 'skip_frame' (", 0), 0u) << unknownChoice;
    EXPECT_NE(unknownChoice.find("nokey"), std::string::npos) << unknownChoice;
    EXPECT_EQ(CheckOption(*decoder, "no_such_option", "1"), "'no_such_option' is not an option of this component");
    // An option a decoder has but is not offered (it is the file's business) is refused too.
    EXPECT_EQ(CheckOption(*decoder, "pixel_format", "gray"), "'pixel_format' is not an option of this component");

    EXPECT_EQ(CheckNamedOption("No such decoder", "lowres", "1"), "there is no component named 'No such decoder'");
    EXPECT_EQ(CheckNamedOption(aviSource, "use_odml", "0"), "");
    EXPECT_EQ(CheckNamedOption("Picture converter", "sws_flags", "neighbor"), "");
}

TEST(MediaOptions, HalfResolutionDecodingDeliversHalfSizePicturesOfTheSameFrames)
{
    const std::string clip = Mpeg4Clip();
    MediaError error;
    const ComponentSettings halfSize{{mpeg4Decoder, {{"lowres", "1"}}}};
    auto stream = MmStream::Open(clip, MmPurpose::PrimaryVideo, error, halfSize);
    ASSERT_TRUE(stream) << error.text;
    EXPECT_EQ(stream->VideoFormat().width, 160);
    EXPECT_EQ(stream->VideoFormat().height, 120);
    EXPECT_TRUE(stream->OptionNotes().empty());
    std::vector<ComponentOption> options;
    ASSERT_EQ(stream->ComponentOptions(mpeg4Decoder, options), OptionsLookup::Found);
    ASSERT_NE(Find(options, "lowres"), nullptr);
    EXPECT_EQ(Find(options, "lowres")->currentValue, "1");
    EXPECT_EQ(Find(options, "lowres")->defaultValue, "0");

    ASSERT_TRUE(stream->CreateVideoSample(error) && stream->Run(error)) << error.text;
    for (std::int64_t frame = 0; frame < 12; ++frame) {
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done) << stream->LastError();
        MmSurfaceLock lock;
        ASSERT_TRUE(stream->LockSurface(lock));
        EXPECT_EQ(lock.width, 160);
        EXPECT_EQ(lock.height, 120);
        EXPECT_EQ(NumberInSurface(lock.pixels, lock.pitch, lock.width, lock.height), frame);
        stream->UnlockSurface();
    }

    auto plain = MmStream::Open(clip, MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(plain) << error.text;
    EXPECT_EQ(plain->VideoFormat().width, 320);
    EXPECT_EQ(plain->VideoFormat().height, 240);
}

TEST(MediaOptions, StaleOrRefusedStoredValuesAreSkippedWithANoteAndTheOpenGoesOn)
{
    const std::string clip = Mpeg4Clip();
    MediaError error;
    const ComponentSettings stored{
        {mpeg4Decoder, {{"lowres", "1"}, {"option_of_an_older_library", "3"}, {"skip_frame", "sideways"}}},
        {aviSource, {{"use_odml", "maybe"}}}};
    auto stream = MmStream::Open(clip, MmPurpose::PrimaryVideo, error, stored);
    ASSERT_TRUE(stream) << error.text;
    // The values the components take still apply.
    EXPECT_EQ(stream->VideoFormat().width, 160);
    const std::vector<std::string>& notes = stream->OptionNotes();
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0],
        "Setting use_odml=maybe of AVI (Audio Video Interleaved) source skipped: 'maybe' is not one of the choices "
        "for 'use_odml' (auto, false, true)");
    EXPECT_EQ(notes[1],
        "Setting option_of_an_older_library=3 of MPEG-4 Part 2 Video decoder skipped: "
        "'option_of_an_older_library' is not an option of this component");
    EXPECT_EQ(notes[2].rfind("Setting skip_frame=sideways of MPEG-4 Part 2 Video decoder skipped: ", 0), 0u);
    std::vector<ComponentOption> options;
    ASSERT_EQ(stream->ComponentOptions(aviSource, options), OptionsLookup::Found);
    EXPECT_EQ(Find(options, "use_odml")->currentValue, "true");
    ASSERT_TRUE(stream->CreateVideoSample(error) && stream->Run(error)) << error.text;
    EXPECT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    EXPECT_EQ(ShownNumber(*stream), 0);
}

TEST(MediaOptions, AReopenWithOtherSettingsOpensAnewAndAppliesThem)
{
    const std::string clip = Mpeg4Clip();
    MediaError error;
    auto first = MmStream::Open(clip, MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(first) << error.text;
    const ComponentSettings halfSize{{mpeg4Decoder, {{"lowres", "1"}}}};
    auto second = MmStream::Reopen(std::move(first), clip, MmPurpose::PrimaryVideo, error, halfSize);
    ASSERT_TRUE(second) << error.text;
    EXPECT_EQ(second->VideoFormat().width, 160);
    auto third = MmStream::Reopen(std::move(second), clip, MmPurpose::PrimaryVideo, error, halfSize);
    ASSERT_TRUE(third) << error.text;
    EXPECT_EQ(third->VideoFormat().width, 160);
}

} // namespace
} // namespace discforge::test
