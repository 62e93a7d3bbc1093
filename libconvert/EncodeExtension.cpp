#include "EncodeExtension.h"

namespace discforge::convert {
namespace {

// Below this no disc picture is worth encoding; a rate this low is a caller's mistake.
constexpr int64_t lowestPlannedRate = 300000;

bool SameRate(int64_t num, int64_t den, int64_t otherNum, int64_t otherDen) { return num * otherDen == otherNum * den; }

bool FilmForNtscDvd(const DiscProfile& profile, const EncodeExtension& extension)
{
    return profile.kind == DiscKind::Dvd && !profile.pal && extension.pictureRateNum > 0 && extension.pictureRateDen > 0
        && SameRate(extension.pictureRateNum, extension.pictureRateDen, 24000, 1001);
}

// No rate, the disc's own, or film that an NTSC DVD plays by repeating fields.
bool PictureRateFits(const DiscProfile& profile, const EncodeExtension& extension)
{
    if (extension.pictureRateNum == 0 && extension.pictureRateDen == 0) {
        return true;
    }
    if (extension.pictureRateNum <= 0 || extension.pictureRateDen <= 0) {
        return false;
    }
    return SameRate(extension.pictureRateNum, extension.pictureRateDen, profile.frameRateNum, profile.frameRateDen)
        || FilmForNtscDvd(profile, extension);
}

// The disc's usual width or, where it has one, its half width.
bool FrameWidthFits(const DiscProfile& profile, const EncodeExtension& extension)
{
    return extension.frameWidth == 0 || extension.frameWidth == profile.width
        || (profile.halfWidth != 0 && extension.frameWidth == profile.halfWidth);
}

} // namespace

bool ExtensionFits(const DiscProfile& profile, const EncodeExtension& extension)
{
    if (extension.passes < 0 || extension.passes > 2) {
        return false;
    }
    if (extension.fieldOrder < ENCODE_PROGRESSIVE || extension.fieldOrder > ENCODE_BOTTOM_FIELD_FIRST
        || !PictureRateFits(profile, extension) || !FrameWidthFits(profile, extension)) {
        return false;
    }
    if (extension.videoBitRate == 0) {
        return extension.passes < 2;
    }
    if (profile.videoMinRate != 0) {
        return extension.videoBitRate == profile.videoBitRate;
    }
    return extension.videoBitRate >= lowestPlannedRate && extension.videoBitRate <= profile.videoMaxRate;
}

DiscProfile ApplyExtension(const DiscProfile& profile, const std::optional<EncodeExtension>& extension)
{
    DiscProfile applied = profile;
    if (extension && extension->videoBitRate != 0) {
        applied.videoBitRate = extension->videoBitRate;
        // A constant rate has nothing to learn from a first pass.
        applied.twoPasses = extension->passes == 2 && profile.videoMinRate == 0;
    }
    if (!extension) {
        return applied;
    }
    // MPEG-1 knows frames only.
    if (profile.mpeg2) {
        applied.fields = extension->fieldOrder == ENCODE_TOP_FIELD_FIRST ? PictureFields::topFirst
            : extension->fieldOrder == ENCODE_BOTTOM_FIELD_FIRST         ? PictureFields::bottomFirst
                                                                         : PictureFields::frames;
    }
    if (profile.halfWidth != 0 && extension->frameWidth == profile.halfWidth) {
        applied.width = profile.halfWidth;
        applied.sampleAspectNum = profile.halfWidthAspectNum;
        applied.sampleAspectDen = profile.halfWidthAspectDen;
    }
    if (FilmForNtscDvd(profile, *extension)) {
        applied.softPulldown = true;
        // Film pictures are whole frames, whatever the fields they are shown as.
        applied.fields = PictureFields::frames;
        applied.frameRateNum = 24000;
        applied.frameRateDen = 1001;
        // Twelve film pictures show as 15 frames, within the disc's 18 a GOP.
        applied.gopFrames = 12;
    }
    return applied;
}

} // namespace discforge::convert
