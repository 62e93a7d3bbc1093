#include "app/SourcePictures.h"

#include "app/BatchPlan.h"
#include "core/ConversionSettings.h"
#include "input/InputEntry.h"
#include "platform/FieldOrder.h"

#include <cmath>

namespace discforge {
namespace {

// 23.976 written with three decimals is 0.00002 off; 24 frames a second is 0.024 off.
constexpr double filmRateTolerance = 0.001;

int SwappedOrder(int order)
{
    return order == ENCODE_TOP_FIELD_FIRST ? ENCODE_BOTTOM_FIELD_FIRST : ENCODE_TOP_FIELD_FIRST;
}

} // namespace

bool IsFilmRate(double frameRate) { return std::abs(frameRate - 24000.0 / 1001.0) < filmRateTolerance; }

InputPictures PicturesOf(const InputEntry& entry, const ConversionSettings& settings)
{
    InputPictures pictures;
    if (!entry.isVideoFile) {
        return pictures;
    }
    pictures.film = settings.outputFormat == formatDvd && settings.tvStandard == standardNtsc
        && IsFilmRate(entry.frameRate);
    const PictureOptions& options = entry.pictureOptions;
    if (options.deinterlace) {
        return pictures;
    }
    switch (FieldOrderOfFile(entry.path)) {
    case FieldOrder::progressive:
        return pictures;
    case FieldOrder::topFirst:
        pictures.fieldOrder = ENCODE_TOP_FIELD_FIRST;
        break;
    case FieldOrder::bottomFirst:
        pictures.fieldOrder = ENCODE_BOTTOM_FIELD_FIRST;
        break;
    }
    // Upside down, the last row comes first: an odd row of an even height.
    if (options.invert && entry.height % 2 == 0) {
        pictures.fieldOrder = SwappedOrder(pictures.fieldOrder);
    }
    if (HasCropRectangle(options) && options.cropY % 2 != 0) {
        pictures.fieldOrder = SwappedOrder(pictures.fieldOrder);
    }
    return pictures;
}

EncodeExtension PicturesExtension(const InputPictures& pictures, std::optional<std::int64_t> plannedRate)
{
    EncodeExtension extension{};
    if (plannedRate) {
        extension = PlannedExtension(*plannedRate);
    }
    extension.size = sizeof(EncodeExtension);
    extension.version = ENCODE_EXTENSION_VERSION;
    extension.fieldOrder = pictures.fieldOrder;
    if (pictures.film) {
        extension.pictureRateNum = 24000;
        extension.pictureRateDen = 1001;
    }
    return extension;
}

} // namespace discforge
