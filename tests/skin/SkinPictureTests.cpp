// The default skin's pictures, decoded by the program's own readers: the button
// strips hold four different faces of the button's size, the background and the
// placeholders fit their places, the captions sit beside their controls, and the
// committed pictures are what the generator draws today.
#include "skin/SkinFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

constexpr int faces = 4;

Rect KeyRect(const std::string& folder, const std::string& key)
{
    return RectOf(LookUp(ReadWholeFile(folder + "/position.txt"), key));
}

void ExpectStripsOfFourDistinctFaces(const std::string& folder)
{
    for (const StripKey& strip : StripKeys()) {
        const Rect button = KeyRect(folder, strip.key);
        Picture picture;
        ASSERT_TRUE(picture.Load(folder + "/" + strip.file)) << strip.file << ": " << picture.Error();
        ASSERT_EQ(picture.Width(), faces * button.w) << strip.file;
        ASSERT_EQ(picture.Height(), button.h) << strip.file;
        for (int a = 0; a < faces; ++a) {
            for (int b = a + 1; b < faces; ++b) {
                const double difference = picture.MeanDifference(
                    {a * button.w, 0, button.w, button.h}, picture, {b * button.w, 0, button.w, button.h});
                EXPECT_GT(difference, 1.0) << strip.file << ": faces " << a << " and " << b << " look alike";
            }
        }
    }
}

void ExpectBackgroundAndPlaceholdersFit(const std::string& folder)
{
    const LayoutValue size = LookUp(ReadWholeFile(folder + "/position.txt"), "MainSize");
    Picture background;
    ASSERT_TRUE(background.Load(folder + "/interface.jpg")) << background.Error();
    EXPECT_EQ(background.Width(), size.n[0]);
    EXPECT_EQ(background.Height(), size.n[1]);
    for (const auto& [file, key] :
        {std::pair{"inputpreview.jpg", "InputPreviewBox"}, std::pair{"outputpreview.jpg", "OutputPreviewBox"}}) {
        const Rect box = KeyRect(folder, key);
        Picture placeholder;
        ASSERT_TRUE(placeholder.Load(folder + "/" + file)) << file << ": " << placeholder.Error();
        EXPECT_EQ(placeholder.Width(), box.w) << file;
        EXPECT_EQ(placeholder.Height(), box.h) << file;
    }
}

TEST(CommittedSkinPictures, StripsHoldFourDistinctFacesOfTheButtonsSize)
{
    ExpectStripsOfFourDistinctFaces(CommittedSkin());
}

TEST(CommittedSkinPictures, BackgroundFillsTheWindowAndPlaceholdersTheirBoxes)
{
    ExpectBackgroundAndPlaceholdersFit(CommittedSkin());
}

TEST(CommittedSkinPictures, CaptionsSitBesideTheIndicatorsOfRadioButtonsAndCheckBoxes)
{
    const std::string folder = CommittedSkin();
    Picture background;
    ASSERT_TRUE(background.Load(folder + "/interface.jpg")) << background.Error();
    for (const char* key : {"VCDRadio", "DVDRadio", "SVCDRadio", "NTSCRadio", "PALRadio", "FillInRadio",
             "PROPORTIONALRadio", "ShutdownCheck", "InvertCheck", "SplitCheck"}) {
        const Rect control = KeyRect(folder, key);
        // The window's own indicator takes the left 18 pixels; the caption follows it.
        const int indicator = 18;
        EXPECT_LT(background.MaxLuma({control.x, control.y, indicator, control.h}), 100)
            << key << ": something is drawn under the indicator";
        EXPECT_GT(background.MaxLuma({control.x + indicator, control.y, control.w - indicator, control.h}), 180)
            << key << ": no caption beside the indicator";
    }
}

TEST(CommittedSkinPictures, AreFineJpegsWithFullColourResolution)
{
    std::size_t files = 0;
    for (const auto& item : std::filesystem::directory_iterator(CommittedSkin())) {
        if (item.path().extension() != ".jpg") {
            continue;
        }
        ++files;
        const JpegCoding coding = ReadJpegCoding(item.path().string());
        ASSERT_TRUE(coding.readable) << item.path();
        // Quality 95 of the standard tables gives no quantizer above 12.
        EXPECT_LE(coding.largestQuantizer, 12) << item.path();
        EXPECT_EQ(coding.samplingFactors, (std::vector<int>{0x11, 0x11, 0x11})) << item.path();
    }
    EXPECT_EQ(files, 16u);
}

TEST(FreshSkinPictures, MatchTheCommittedOnes)
{
    const std::string fresh = FreshSkin(1);
    ASSERT_FALSE(fresh.empty());
    std::vector<std::string> files = {"interface.jpg", "inputpreview.jpg", "outputpreview.jpg"};
    for (const StripKey& strip : StripKeys()) {
        files.push_back(strip.file);
    }
    for (const std::string& file : files) {
        Picture committed;
        Picture drawn;
        ASSERT_TRUE(committed.Load(CommittedSkin() + "/" + file)) << file << ": " << committed.Error();
        ASSERT_TRUE(drawn.Load(fresh + "/" + file)) << file << ": " << drawn.Error();
        ASSERT_EQ(drawn.Width(), committed.Width()) << file;
        ASSERT_EQ(drawn.Height(), committed.Height()) << file;
        const Rect whole{0, 0, drawn.Width(), drawn.Height()};
        EXPECT_LT(drawn.MeanDifference(whole, committed, whole), 1.0)
            << file << " is out of date: cmake --build build --target skin";
    }
}

TEST(FreshSkinPictures, AtTwiceTheSizeKeepEveryPictureInStep)
{
    const std::string twice = FreshSkin(2);
    ASSERT_FALSE(twice.empty());
    ExpectStripsOfFourDistinctFaces(twice);
    ExpectBackgroundAndPlaceholdersFit(twice);
}

} // namespace
} // namespace discforge::test
