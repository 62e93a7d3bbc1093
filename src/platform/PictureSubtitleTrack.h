// The picture subtitle tracks of a media file: DVD subpictures (in Matroska, VOB,
// MPEG program and transport streams, and a VobSub ".idx" with its ".sub") and
// Blu-ray PGS (in Matroska, M2TS and ".sup"), decoded by libavcodec into timed
// RGBA pictures on the file's one clock (zero at its first picture).
#pragma once

#include "platform/MediaError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace discforge {

struct PictureSubtitleTrack {
    int number = 0; // from 1, over the file's picture subtitle streams
    std::string language; // "und" when the file names none
    bool pgs = false; // Blu-ray PGS (any number of colours) rather than a DVD subpicture (four)
};

std::vector<PictureSubtitleTrack> PictureSubtitleTracksOf(const std::string& path);

// One shown picture: the union of what the decoder placed for one event.
struct SubtitlePicture {
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    int x = 0; // in the frame the track is made for
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // width * height pixels of red, green, blue, alpha; alpha not premultiplied
};

// What one track may take, so that a damaged or hostile file cannot exhaust memory.
struct PictureSubtitleLimits {
    std::size_t events = 20000;
    std::int64_t pictureArea = 1920 * 1080;
    std::size_t totalBytes = std::size_t{256} << 20;
};

struct PictureSubtitles {
    int frameWidth = 0; // the frame the pictures are placed in
    int frameHeight = 0;
    std::vector<SubtitlePicture> pictures; // in time order, none overlapping the next
    int damaged = 0; // packets the decoder refused or whose pictures lie outside the frame
    int beyondLimits = 0; // pictures too large, and the first event past the count or byte limit (reading stops there)
};

// Track `number`'s pictures. A damaged packet is skipped and counted; `error` is set only
// when the file or the track cannot be read at all.
PictureSubtitles ReadPictureSubtitles(
    const std::string& path, int number, const PictureSubtitleLimits& limits, MediaError& error);

} // namespace discforge
