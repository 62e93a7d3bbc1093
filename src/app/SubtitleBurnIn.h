// The subtitle an input has drawn into its converted picture (see BurnsSubtitles): its
// first chosen subtitle, read when a frame of the input first asks for it and again only
// when the input, its subtitle choices or the frame size change. The frame supply and the
// output preview lay the same pictures over the same fitted frame, so the preview shows
// what is encoded. What cannot be read is told in the run log, once.
#pragma once

#include "core/ConversionSettings.h"
#include "input/InputEntry.h"
#include "picture/TBaseDib.h"
#include "ports/TimedPicture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discforge {

class MenuPainting;
class RunLog;

// When output frame `frame` is shown, in milliseconds from the first, for pictures at `rate`.
std::int64_t OutputClockMs(int frame, double rate);
// The rate of the encoded pictures: the television standard's, or the film's own when
// the encoder takes film pictures and repeats fields itself.
double OutputPictureRate(int tvStandard, bool filmPictures, double filmRate);

class SubtitleBurnIn {
public:
    SubtitleBurnIn();
    ~SubtitleBurnIn();
    SubtitleBurnIn(const SubtitleBurnIn&) = delete;
    SubtitleBurnIn& operator=(const SubtitleBurnIn&) = delete;

    // The picture over `entry`'s frame of width x height at `ms` on its output clock;
    // null when the input burns no subtitles or none is shown then.
    const TimedPicture* PictureAt(const ConversionSettings& settings, const InputEntry& entry, int width, int height,
        std::int64_t ms, RunLog& runLog);

private:
    // What the loaded track was made for.
    struct Made {
        std::string path;
        std::vector<SubtitleSource> added;
        std::vector<SubtitleSource> leftOut;
        int width = 0;
        int height = 0;
    };
    static bool SameMade(const Made& a, const Made& b);
    void Load(const InputEntry& entry, int width, int height, RunLog& runLog);
    void LoadPictures(const SubtitleSource& source, int width, int height, RunLog& runLog);

    std::unique_ptr<MenuPainting> painting_; // made with the first text track
    std::unique_ptr<TimedPictureTrack> track_;
    std::unique_ptr<Made> made_;
};

} // namespace discforge
