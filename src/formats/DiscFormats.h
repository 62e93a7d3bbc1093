// What each disc asks of its streams, for every part of the program and the
// encoder library alike: one row per disc and TV standard. Header-only data with
// no dependency, so that the lowest layers may read it. A new fact about a disc
// is one more member of DiscFormat and one more value in each row.
#pragma once

#include <cstdint>

namespace discforge {

enum OutputFormat : int { formatVcd = 1, formatSvcd = 3, formatDvd = 4 };
enum TvStandard : int { standardNtsc = 0, standardPal = 1 };

// A ratio of two whole numbers, such as a pixel's width over its height.
struct Ratio {
    int num = 1;
    int den = 1;

    friend constexpr bool operator==(const Ratio&, const Ratio&) = default;
};

// How the whole frame is shown on the TV.
enum class DisplayShape : int { fourByThree = 0, sixteenByNine = 1 };

enum class SoundCoder { mpegLayer2, ac3 };
enum class AuthoringTool { vcdimager, dvdauthor };

struct ShapeEntry {
    DisplayShape shape = DisplayShape::fourByThree;
    Ratio display; // the frame's width over its height on the TV
    Ratio pixel; // one frame pixel's width over its height there
    // Few players honour it: only a shape the user asked for explicitly.
    bool onlyWhenAsked = false;
};

inline constexpr int maxDiscShapes = 2;

struct DiscFormat {
    int format = formatVcd;
    int standard = standardNtsc;
    const char* name = "";
    int width = 0;
    int height = 0;
    Ratio frameRate; // frames per second
    ShapeEntry shapes[maxDiscShapes];
    int shapeCount = 0; // the first is the usual one
    bool mpeg2 = false;
    std::int64_t videoBitRate = 0; // the usual average
    std::int64_t videoMaxRate = 0;
    std::int64_t videoMinRate = 0; // constant-rate discs only
    int vbvBufferBits = 0;
    SoundCoder soundCoder = SoundCoder::mpegLayer2;
    int soundRate = 0;
    std::int64_t soundBitRate = 0;
    int packetSize = 0;
    int muxRate = 0; // bits per second, 0 lets the multiplexer work it out
    AuthoringTool authoringTool = AuthoringTool::vcdimager;
    // Half the usual columns, each pixel twice as wide: the same disc's frame for a
    // batch so long that the full width would starve. Only a disc plan chooses it.
    bool halfWidth = false;
};

namespace disc_format_detail {

inline constexpr Ratio ntscRate{30000, 1001};
inline constexpr Ratio palRate{25, 1};
inline constexpr Ratio fourByThree{4, 3};
inline constexpr Ratio sixteenByNine{16, 9};
// VBV sizes of the standards: 40 KiB for VCD, 224 KiB for SVCD and DVD.
inline constexpr int vcdVbvBits = 40 * 1024 * 8;
inline constexpr int mpeg2VbvBits = 224 * 1024 * 8;
// A CD sector is 2352 bytes read at 75 sectors a second; a VCD reads at that pace.
inline constexpr int vcdMuxRate = 2352 * 75 * 8;
inline constexpr int dvdMuxRate = 10080000;
inline constexpr std::int64_t svcdSoundBitRate = 224000;
// SVCD video and sound together stay within 2.6 Mbit/s.
inline constexpr std::int64_t svcdVideoMaxRate = 2600000 - svcdSoundBitRate;
// DVD video may peak at 9.8 Mbit/s, but video, sound and the packs' own bytes must
// pass the 10.08 Mbit/s multiplex: less 56 kbit/s of navigation and padding packs,
// a 1.16 % share of pack and packet headers and the 192 kbit/s of sound, the video
// keeps 9.72 Mbit/s. A peak of 9.8 would outrun the multiplex whenever it lasted.
// Each further sound or subtitle stream lowers it by its own rate.
inline constexpr std::int64_t dvdVideoMaxRate = 9700000;

constexpr DiscFormat Vcd(int standard, int height, Ratio rate, Ratio pixel)
{
    return {formatVcd, standard, "VCD", 352, height, rate, {{DisplayShape::fourByThree, fourByThree, pixel, false}}, 1,
        false, 1150000, 1150000, 1150000, vcdVbvBits, SoundCoder::mpegLayer2, 44100, 224000, 2324, vcdMuxRate,
        AuthoringTool::vcdimager};
}

constexpr DiscFormat Svcd(int standard, int height, Ratio rate, Ratio pixel, Ratio widePixel)
{
    return {formatSvcd, standard, "SVCD", 480, height, rate,
        {{DisplayShape::fourByThree, fourByThree, pixel, false},
            {DisplayShape::sixteenByNine, sixteenByNine, widePixel, true}},
        2, true, 2040000, svcdVideoMaxRate, 0, mpeg2VbvBits, SoundCoder::mpegLayer2, 44100, svcdSoundBitRate, 2324, 0,
        AuthoringTool::vcdimager};
}

// A DVD frame has 720 columns, or 352 at half width.
constexpr DiscFormat Dvd(int standard, int height, Ratio rate, Ratio pixel, Ratio widePixel, bool halfWidth)
{
    // Stereo AC-3 at the usual DVD rate for two channels; AC-3 plays on NTSC and PAL players.
    return {formatDvd, standard, "DVD", halfWidth ? 352 : 720, height, rate,
        {{DisplayShape::fourByThree, fourByThree, pixel, false},
            {DisplayShape::sixteenByNine, sixteenByNine, widePixel, false}},
        2, true, 6000000, dvdVideoMaxRate, 0, mpeg2VbvBits, SoundCoder::ac3, 48000, 192000, 2048, dvdMuxRate,
        AuthoringTool::dvdauthor, halfWidth};
}

} // namespace disc_format_detail

// Pixel shapes: the whole frame shows at its display shape. A DVD's 352 columns
// take 4:3 and 16:9 as its 720 do.
inline constexpr DiscFormat discFormats[] = {
    disc_format_detail::Vcd(standardNtsc, 240, disc_format_detail::ntscRate, {10, 11}),
    disc_format_detail::Vcd(standardPal, 288, disc_format_detail::palRate, {12, 11}),
    disc_format_detail::Svcd(standardNtsc, 480, disc_format_detail::ntscRate, {4, 3}, {16, 9}),
    disc_format_detail::Svcd(standardPal, 576, disc_format_detail::palRate, {8, 5}, {32, 15}),
    disc_format_detail::Dvd(standardNtsc, 480, disc_format_detail::ntscRate, {8, 9}, {32, 27}, false),
    disc_format_detail::Dvd(standardPal, 576, disc_format_detail::palRate, {16, 15}, {64, 45}, false),
    disc_format_detail::Dvd(standardNtsc, 480, disc_format_detail::ntscRate, {20, 11}, {80, 33}, true),
    disc_format_detail::Dvd(standardPal, 576, disc_format_detail::palRate, {24, 11}, {32, 11}, true),
};

namespace disc_format_detail {

// Any standard but PAL is taken as NTSC.
constexpr bool OfDisc(const DiscFormat& row, int format, int standard)
{
    return row.format == format && row.standard == (standard == standardPal ? standardPal : standardNtsc);
}

constexpr const DiscFormat* FindRow(int format, int standard, bool halfWidth)
{
    for (const DiscFormat& row : discFormats) {
        if (OfDisc(row, format, standard) && row.halfWidth == halfWidth) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace disc_format_detail

// The usual row of a disc and standard; null for a format that is no disc.
constexpr const DiscFormat* FindDiscFormat(int format, int standard)
{
    return disc_format_detail::FindRow(format, standard, false);
}

// The half-width row of a disc and standard; null for a disc that has none.
constexpr const DiscFormat* FindHalfWidthFormat(int format, int standard)
{
    return disc_format_detail::FindRow(format, standard, true);
}

// The row of a disc and standard whose frame is width x height; null for a size of no row.
constexpr const DiscFormat* FindFrameFormat(int format, int standard, int width, int height)
{
    for (const DiscFormat& row : discFormats) {
        if (disc_format_detail::OfDisc(row, format, standard) && row.width == width && row.height == height) {
            return &row;
        }
    }
    return nullptr;
}

// The entry of a shape the disc allows; null when it does not.
constexpr const ShapeEntry* FindShape(const DiscFormat& disc, DisplayShape shape)
{
    for (int i = 0; i < disc.shapeCount; ++i) {
        if (disc.shapes[i].shape == shape) {
            return &disc.shapes[i];
        }
    }
    return nullptr;
}

} // namespace discforge
