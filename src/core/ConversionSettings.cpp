#include "core/ConversionSettings.h"

namespace discforge {

bool IsKnownFormat(int format) { return format == formatVcd || format == formatSvcd || format == formatDvd; }

PictureSize FormatPictureSize(int format, int standard)
{
    const bool pal = standard == standardPal;
    switch (format) {
    case formatSvcd:
        return pal ? PictureSize{480, 576} : PictureSize{480, 480};
    case formatDvd:
        return pal ? PictureSize{720, 576} : PictureSize{720, 480};
    default:
        return pal ? PictureSize{352, 288} : PictureSize{352, 240};
    }
}

int FormatAudioRate(int format)
{
    switch (format) {
    case formatVcd:
    case formatSvcd:
        return 44100;
    case formatDvd:
        return 48000;
    default:
        return 0;
    }
}

void ShowFormatSize(ConversionSettings& settings)
{
    if (!IsKnownFormat(settings.outputFormat)) {
        return;
    }
    const PictureSize size = FormatPictureSize(settings.outputFormat, settings.tvStandard);
    settings.frameWidth = size.width;
    settings.frameHeight = size.height;
}

double StandardFrameRate(int standard) { return standard == standardPal ? 25.0 : 29.97; }

} // namespace discforge
