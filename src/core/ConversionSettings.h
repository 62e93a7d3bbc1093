// The conversion settings that every part of the program reads.
#pragma once

#include "core/DecoderOptionStore.h"
#include "formats/DiscSize.h"
#include "formats/ShapeChoice.h"

#include <optional>
#include <string>

namespace discforge {

struct PictureSize {
    int width;
    int height;
};

struct ConversionSettings {
    int outputFormat = formatVcd;
    int tvStandard = standardNtsc;
    int frameWidth = 352;
    int frameHeight = 240;
    bool splitOutput = false;
    int maxFileSizeMB = 600;
    // The frames' shape; each input of a batch may come out at another under automatic.
    ShapeChoice shapeChoice = ShapeChoice::automatic;
    bool shutdownWhenDone = false;
    bool batchMode = true;
    bool editFilters = false;
    // A disc of the batch's streams is made in discFolder once every input has converted.
    bool discAfterConverting = false;
    std::string discFolder;
    DecoderOptionStore decoderOptions;
    // With a disc size the batch's video rate is planned to fill that disc.
    std::optional<DiscSize> discSize;
    // A DVD of more than one title starts on a menu of them, drawn on this
    // picture (empty: the program's colours).
    bool discMenu = true;
    std::string menuBackground;
    bool videoSettingsChanged = true;
    bool audioSettingsChanged = true;

    // The only argument the encoder library is initialised with, for the format's usual shape.
    int encoderFormatCode() const { return EncoderFormatCode(outputFormat, tvStandard, DisplayShape::fourByThree); }
};

inline constexpr int minMaxFileSizeMB = 1;
inline constexpr int maxMaxFileSizeMB = 4096;

bool IsKnownFormat(int format);
// The disc picture of a format; only for known formats.
PictureSize FormatPictureSize(int format, int standard);
// 44100 Hz for VCD and SVCD, 48000 Hz for DVD, 0 for any other format.
int FormatAudioRate(int format);
// Makes frameWidth and frameHeight the disc picture of the current format and
// standard; other formats keep their size.
void ShowFormatSize(ConversionSettings& settings);
// 29.97 for NTSC, 25.0 for PAL.
double StandardFrameRate(int standard);

} // namespace discforge
