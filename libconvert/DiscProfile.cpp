#include "DiscProfile.h"

#include <numeric>

namespace discforge::convert {
namespace {

constexpr int formatVcd = 1;
constexpr int formatSvcd = 3;
constexpr int formatDvd = 4;
constexpr int palFlag = 16;

// The VBV sizes of the disc standards: 40 KiB for VCD, 224 KiB for SVCD and DVD.
constexpr int vcdVbvBits = 40 * 1024 * 8;
constexpr int mpeg2VbvBits = 224 * 1024 * 8;

// A CD sector is 2352 bytes read at 75 sectors a second; a VCD reads at that pace.
constexpr int vcdMuxRate = 2352 * 75 * 8;
constexpr int dvdMuxRate = 10080000;

void SetFourByThree(DiscProfile& profile)
{
    // A pixel is (4 / 3) / (width / height) wide: the whole picture then shows at 4:3.
    int num = 4 * profile.height;
    int den = 3 * profile.width;
    const int divisor = std::gcd(num, den);
    profile.sampleAspectNum = num / divisor;
    profile.sampleAspectDen = den / divisor;
}

DiscProfile Vcd(bool pal)
{
    DiscProfile profile;
    profile.kind = DiscKind::Vcd;
    profile.width = 352;
    profile.height = pal ? 288 : 240;
    profile.mpeg2 = false;
    profile.videoBitRate = 1150000;
    profile.videoMaxRate = 1150000;
    profile.videoMinRate = 1150000;
    profile.vbvBufferBits = vcdVbvBits;
    // At VCD's low constant rate one B-picture between anchors gives the most picture
    // for the bits; MPEG-1 has no use for the other settings.
    profile.bPictures = 1;
    profile.ac3Audio = false;
    profile.audioSampleRate = 44100;
    profile.audioBitRate = 224000;
    profile.muxerName = "vcd";
    profile.packetSize = 2324;
    profile.muxRate = vcdMuxRate;
    // Players start decoding after the first padding packs; 0.44 s keeps SCR and PTS apart.
    profile.preloadMicroseconds = 440000;
    return profile;
}

DiscProfile Svcd(bool pal)
{
    DiscProfile profile;
    profile.kind = DiscKind::Svcd;
    profile.width = 480;
    profile.height = pal ? 576 : 480;
    profile.mpeg2 = true;
    profile.audioBitRate = 224000;
    profile.videoBitRate = 2040000;
    // Video and sound together stay within 2.6 Mbit/s.
    profile.videoMaxRate = 2600000 - profile.audioBitRate;
    profile.vbvBufferBits = mpeg2VbvBits;
    profile.flatIntraMatrix = true;
    profile.scanOffsets = true;
    profile.ac3Audio = false;
    profile.audioSampleRate = 44100;
    profile.muxerName = "svcd";
    profile.packetSize = 2324;
    profile.preloadMicroseconds = 500000;
    return profile;
}

DiscProfile Dvd(bool pal)
{
    DiscProfile profile;
    profile.kind = DiscKind::Dvd;
    profile.width = 720;
    profile.height = pal ? 576 : 480;
    profile.mpeg2 = true;
    profile.videoBitRate = 6000000;
    profile.videoMaxRate = 9000000;
    profile.vbvBufferBits = mpeg2VbvBits;
    profile.flatIntraMatrix = true;
    // Stereo AC-3 at the usual DVD rate for two channels; AC-3 plays on NTSC and PAL players.
    profile.ac3Audio = true;
    profile.audioSampleRate = 48000;
    profile.audioBitRate = 192000;
    profile.muxerName = "dvd";
    profile.packetSize = 2048;
    profile.muxRate = dvdMuxRate;
    profile.preloadMicroseconds = 500000;
    return profile;
}

} // namespace

std::optional<DiscProfile> ProfileForFormatCode(int32_t formatCode)
{
    if (formatCode != (formatCode & (palFlag | 0x0F))) {
        return std::nullopt;
    }
    const bool pal = (formatCode & palFlag) != 0;
    std::optional<DiscProfile> profile;
    switch (formatCode & 0x0F) {
    case formatVcd:
        profile = Vcd(pal);
        break;
    case formatSvcd:
        profile = Svcd(pal);
        break;
    case formatDvd:
        profile = Dvd(pal);
        break;
    default:
        return std::nullopt;
    }
    profile->pal = pal;
    profile->frameRateNum = pal ? 25 : 30000;
    profile->frameRateDen = pal ? 1 : 1001;
    // Disc GOPs hold at most 15 (PAL) or 18 (NTSC) pictures.
    profile->gopFrames = pal ? 15 : 18;
    SetFourByThree(*profile);
    return profile;
}

} // namespace discforge::convert
