#include "DiscProfile.h"

#include "formats/ShapeChoice.h"

namespace discforge::convert {
namespace {

DiscKind KindOf(int format)
{
    switch (format) {
    case formatSvcd:
        return DiscKind::Svcd;
    case formatDvd:
        return DiscKind::Dvd;
    default:
        return DiscKind::Vcd;
    }
}

// The encoder's own choices for each disc, beside the disc's facts.
void SetEncoderChoices(DiscProfile& profile)
{
    switch (profile.kind) {
    case DiscKind::Vcd:
        // At VCD's low constant rate one B-picture between anchors gives the most picture
        // for the bits; MPEG-1 has no use for the other settings.
        profile.bPictures = 1;
        profile.muxerName = "vcd";
        // Players start decoding after the first padding packs; 0.44 s keeps SCR and PTS apart.
        profile.preloadMicroseconds = 440000;
        break;
    case DiscKind::Svcd:
        // Two B-pictures between anchors: at SVCD's and DVD's rates they cost fewer bits
        // than the P-pictures they replace, and their bits go to the anchors.
        profile.bPictures = 2;
        // 10 bits for the DC of intra blocks: smooth areas keep their shades instead of
        // steps; both discs allow up to 10.
        profile.intraDcBits = 10;
        profile.flatIntraMatrix = true;
        profile.scanOffsets = true;
        profile.muxerName = "svcd";
        profile.preloadMicroseconds = 500000;
        break;
    case DiscKind::Dvd:
        profile.bPictures = 2;
        profile.intraDcBits = 10;
        profile.flatIntraMatrix = true;
        profile.muxerName = "dvd";
        profile.preloadMicroseconds = 500000;
        break;
    }
}

} // namespace

std::optional<DiscProfile> ProfileForFormatCode(int32_t formatCode)
{
    const std::optional<FormatCodeParts> parts = DecodeFormatCode(formatCode);
    if (!parts) {
        return std::nullopt;
    }
    const DiscFormat& disc = *parts->disc;
    DiscProfile profile;
    profile.kind = KindOf(disc.format);
    profile.pal = disc.standard == standardPal;
    profile.width = disc.width;
    profile.height = disc.height;
    profile.frameRateNum = disc.frameRate.num;
    profile.frameRateDen = disc.frameRate.den;
    profile.sampleAspectNum = parts->shape->pixel.num;
    profile.sampleAspectDen = parts->shape->pixel.den;
    const DiscFormat* half = FindHalfWidthFormat(disc.format, disc.standard);
    const ShapeEntry* halfShape = half != nullptr ? FindShape(*half, parts->shape->shape) : nullptr;
    if (halfShape != nullptr && half->height == disc.height) {
        profile.halfWidth = half->width;
        profile.halfWidthAspectNum = halfShape->pixel.num;
        profile.halfWidthAspectDen = halfShape->pixel.den;
    }
    profile.mpeg2 = disc.mpeg2;
    profile.videoBitRate = disc.videoBitRate;
    profile.videoMaxRate = disc.videoMaxRate;
    profile.videoMinRate = disc.videoMinRate;
    profile.vbvBufferBits = disc.vbvBufferBits;
    // Disc GOPs hold at most 15 (PAL) or 18 (NTSC) pictures.
    profile.gopFrames = profile.pal ? 15 : 18;
    profile.ac3Audio = disc.soundCoder == SoundCoder::ac3;
    profile.audioSampleRate = disc.soundRate;
    profile.audioBitRate = disc.soundBitRate;
    profile.packetSize = disc.packetSize;
    profile.muxRate = disc.muxRate;
    SetEncoderChoices(profile);
    return profile;
}

} // namespace discforge::convert
