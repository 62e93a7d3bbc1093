// What the encoder makes of pictures it is told are fields or film: MPEG-2 pictures
// of two fields in the order given, frames on a VCD, and film for an NTSC DVD whose
// pictures start on the fields of a 3:2 pulldown with the sound as long as they play.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

EncodeExtension Pictures(int32_t fieldOrder, int32_t rateNum = 0, int32_t rateDen = 0)
{
    EncodeExtension extension{};
    extension.size = sizeof(EncodeExtension);
    extension.version = ENCODE_EXTENSION_VERSION;
    extension.fieldOrder = fieldOrder;
    extension.pictureRateNum = rateNum;
    extension.pictureRateDen = rateDen;
    return extension;
}

std::string Probe(const std::string& path, const std::string& stream, const std::string& entries)
{
    std::string text = RunCommand("ffprobe -v error -select_streams " + stream
        + " -of default=nw=1:nk=1 -show_entries " + entries + " " + Quoted(path))
                           .output;
    // ffprobe separates the values by empty lines where a section has side data.
    std::string kept;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty()) {
            kept += (kept.empty() ? "" : "\n") + line;
        }
    }
    return kept;
}

std::vector<double> Numbers(const std::string& text)
{
    std::vector<double> numbers;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find_first_of("0123456789") != std::string::npos) {
            numbers.push_back(std::atof(line.c_str()));
        }
    }
    return numbers;
}

TEST(FieldsAndFilm, FieldPicturesKeepTheirOrderOnMpeg2DiscsAndBecomeFramesOnAVcd)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    struct Case {
        int32_t format;
        int width;
        int height;
        int32_t order;
        const char* probed;
    };
    for (const Case c : {Case{20, 720, 576, ENCODE_BOTTOM_FIELD_FIRST, "bb"},
             Case{20, 720, 576, ENCODE_TOP_FIELD_FIRST, "tt"}, Case{19, 480, 576, ENCODE_TOP_FIELD_FIRST, "tt"},
             Case{20, 720, 576, ENCODE_PROGRESSIVE, "progressive"}, Case{17, 352, 288, ENCODE_BOTTOM_FIELD_FIRST, ""}}) {
        ASSERT_EQ(library.init(c.format), 0);
        SyntheticSettings settings;
        settings.width = c.width;
        settings.height = c.height;
        settings.frames = 12;
        SyntheticInput input(settings);
        const EncodeExtension fields = Pictures(c.order);
        ASSERT_EQ(library.extend(&fields), 0);
        const std::string output = folder.File("fields-" + std::to_string(c.format) + "-" + std::to_string(c.order));
        const EncodeParameters parameters = input.Parameters(output);
        ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
        const std::string order = Probe(output, "v:0", "stream=field_order");
        if (c.format == 17) {
            // MPEG-1 has no fields to order.
            EXPECT_TRUE(order == "progressive" || order == "unknown" || order.empty()) << order;
        } else {
            EXPECT_EQ(order, c.probed) << c.format << " " << c.order;
        }
    }
}

TEST(FieldsAndFilm, FilmPicturesStartOnThePulldownsFieldsAndTheirSoundLastsAsLong)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    ASSERT_EQ(library.init(4), 0); // NTSC DVD
    SyntheticSettings settings;
    settings.width = 720;
    settings.height = 480;
    settings.frames = 96; // four seconds of film
    settings.sampleRate = 48000;
    SyntheticInput input(settings);
    const EncodeExtension film = Pictures(ENCODE_PROGRESSIVE, 24000, 1001);
    ASSERT_EQ(library.extend(&film), 0);
    const std::string output = folder.File("film.mpg");
    const EncodeParameters parameters = input.Parameters(output);
    ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
    // Every picture asked for once: the film's own, not frames of 29.97.
    EXPECT_EQ(input.picturesAsked.size(), 96u);

    const std::vector<double> starts = Numbers(Probe(output, "v:0", "frame=best_effort_timestamp_time"));
    ASSERT_EQ(starts.size(), 96u);
    // Picture n starts (5n + 1) / 2 fields in, rounded down: fields of 1001/60000 s.
    for (std::size_t n = 0; n < starts.size(); ++n) {
        const double fields = static_cast<double>((5 * n + 1) / 2);
        EXPECT_NEAR(starts[n] - starts[0], fields * 1001 / 60000, 0.0001) << "picture " << n;
    }
    // A record without a rate keeps the disc's frames: a picture every 1001/30000 s.
    const EncodeExtension frames = Pictures(ENCODE_PROGRESSIVE);
    ASSERT_EQ(library.extend(&frames), 0);
    const std::string framesOutput = folder.File("frames.mpg");
    const EncodeParameters framesParameters = input.Parameters(framesOutput);
    ASSERT_EQ(library.makeMpeg(&framesParameters), ENCODE_COMPLETED);
    const std::vector<double> frameStarts = Numbers(Probe(framesOutput, "v:0", "frame=best_effort_timestamp_time"));
    ASSERT_EQ(frameStarts.size(), 96u);
    EXPECT_NEAR(frameStarts.back() - frameStarts.front(), 95 * 1001.0 / 30000, 0.0001);
    EXPECT_EQ(Probe(framesOutput, "v:0", "stream=r_frame_rate"), "30000/1001");

    // Ten fields for the last four pictures: the stream lasts 96 film pictures.
    const double pictureTime = 96 * 1001.0 / 24000;
    const std::vector<double> sound = Numbers(Probe(output, "a:0", "stream=duration"));
    ASSERT_EQ(sound.size(), 1u);
    EXPECT_NEAR(sound[0], pictureTime, 0.04);
}

} // namespace
} // namespace discforge::test
