// What each disc standard asks of the streams: picture, rates, buffers, GOP and multiplex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace discforge::convert {

enum class DiscKind { Vcd, Svcd, Dvd };
// One pass, or the first or second of two.
enum class EncoderPass { only, first, second };
// Whole frames, or two fields a picture with the top or the bottom one shot first.
enum class PictureFields { frames, topFirst, bottomFirst };

struct DiscProfile {
    DiscKind kind = DiscKind::Vcd;
    bool pal = false;

    int width = 0;
    int height = 0;
    int frameRateNum = 0; // frames per second as a fraction: 25/1 or 30000/1001
    int frameRateDen = 1;
    int sampleAspectNum = 1; // pixel shape that makes the frame show at its display shape
    int sampleAspectDen = 1;
    // The disc's half-width frame at the same display shape, which the extension may
    // ask for instead; 0 columns where the disc has none.
    int halfWidth = 0;
    int halfWidthAspectNum = 1;
    int halfWidthAspectDen = 1;

    bool mpeg2 = false;
    int64_t videoBitRate = 0;
    int64_t videoMaxRate = 0;
    int64_t videoMinRate = 0;
    int vbvBufferBits = 0;
    int gopFrames = 0;
    int bPictures = 0; // between anchors
    int intraDcBits = 8; // precision of intra blocks' DC coefficients: MPEG-1 has 8 only
    bool flatIntraMatrix = false; // otherwise the MPEG default, which spends fewer bits on fine detail
    bool scanOffsets = false;
    PictureFields fields = PictureFields::frames;
    // Film pictures at 24000/1001 (the frame rate above) that the player shows at
    // 30000/1001 by repeating a field of every other picture.
    bool softPulldown = false;

    bool ac3Audio = false; // otherwise MPEG-1 Layer II
    int audioSampleRate = 0;
    int64_t audioBitRate = 0;

    const char* muxerName = "";
    int packetSize = 0;
    int muxRate = 0; // bits per second, 0 lets the muxer work it out
    int preloadMicroseconds = 0;

    // Two passes meet a planned rate; the second reads what the first learnt.
    bool twoPasses = false;
    EncoderPass pass = EncoderPass::only;
    std::string firstPassStatistics;
};

// The profile of a format code (NTSC: 1 VCD, 3 SVCD, 4 DVD; PAL adds 16, a 16:9 frame
// 32), or nothing for a code of no disc or of a shape the disc does not have.
std::optional<DiscProfile> ProfileForFormatCode(int32_t formatCode);

} // namespace discforge::convert
