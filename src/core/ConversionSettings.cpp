#include "core/ConversionSettings.h"

namespace discforge {

bool IsKnownFormat(int format) { return FindDiscFormat(format, standardNtsc) != nullptr; }

PictureSize FormatPictureSize(int format, int standard)
{
    const DiscFormat* disc = FindDiscFormat(format, standard);
    if (disc == nullptr) {
        disc = FindDiscFormat(formatVcd, standard);
    }
    return PictureSize{disc->width, disc->height};
}

int FormatAudioRate(int format)
{
    const DiscFormat* disc = FindDiscFormat(format, standardNtsc);
    return disc != nullptr ? disc->soundRate : 0;
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
