// The AVI file interface over FFmpeg: file and stream information in the
// terms of an AVI header, a decompressor that hands out packed bottom-up
// bitmaps, and the search for key frames. It opens any file libavformat opens,
// not only AVI.
//
// Positions are frame numbers of the video stream counted from its first
// frame (start is 0). Rates are the frame rate as rate / scale.
//
// The objects are used from one thread. Streams and decompressors keep what
// they need of their file alive, so they may be released in any order.
#pragma once

#include "platform/MediaError.h"
#include "ports/ComponentOption.h"
#include "ports/PictureBands.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discforge {

class VideoCursor;

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a))
        | static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8
        | static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16
        | static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

constexpr std::uint32_t aviStreamTypeVideo = MakeFourCC('v', 'i', 'd', 's');
constexpr std::uint32_t aviStreamTypeAudio = MakeFourCC('a', 'u', 'd', 's');
constexpr std::size_t bitmapInfoHeaderSize = 40;

struct AviFileInfo {
    std::uint32_t width = 0; // of the first video stream
    std::uint32_t height = 0;
    std::uint32_t length = 0; // frames of the first video stream
    std::uint32_t rate = 0; // frames per second = rate / scale
    std::uint32_t scale = 0;
    std::uint32_t streams = 0;
};

struct AviStreamInfo {
    std::uint32_t type = 0; // aviStreamTypeVideo or aviStreamTypeAudio
    std::uint32_t handler = 0; // codec four-character code, first character in the low byte; 0 for raw RGB
    std::uint32_t scale = 0; // video: frames per second = rate / scale; audio: 1 and the sample rate
    std::uint32_t rate = 0;
    std::uint32_t start = 0;
    std::uint32_t length = 0; // video: frames; audio: sample frames (0 when unknown)
};

// A frame as GetFrameRows hands it out: the packed bitmap of GetFrame, or the
// frame as decoded with its rows made on request. Both null on failure.
struct AviFrameRows {
    const std::uint8_t* packed = nullptr;
    const PictureBands* bands = nullptr;
};

// Counters for tests and diagnostics.
struct AviDecodeStatistics {
    std::uint64_t framesDecoded = 0;
    std::uint64_t realSeeks = 0;
};

class AviFrameDecompressor {
public:
    ~AviFrameDecompressor();
    AviFrameDecompressor(const AviFrameDecompressor&) = delete;
    AviFrameDecompressor& operator=(const AviFrameDecompressor&) = delete;

    // The frame at `position` as a packed bitmap: a 40-byte BITMAPINFOHEADER
    // (positive height, 32 bits per pixel, compression 0) followed by the rows,
    // bottom row first, 4 bytes per pixel (blue, green, red, 0). Owned by the
    // decompressor and valid until the next call or its destruction. Null when
    // the frame cannot be decoded or lies outside the stream. Asking for the
    // frames in order decodes each once.
    const std::uint8_t* GetFrame(std::int64_t position);
    // GetFrame, except that a 4:2:0 frame comes unconverted, as bands valid as
    // long as a bitmap would be: a caller that scales the frame down converts
    // only a few rows at a time. While frames are asked for this way, the frames
    // read ahead stay unconverted too.
    AviFrameRows GetFrameRows(std::int64_t position);
    std::size_t FrameBytes() const;
    // The size of the decoded pictures.
    int FrameWidth() const;
    int FrameHeight() const;
    std::string LastError() const;
    AviDecodeStatistics Statistics() const;

    // Frames of `cursor`'s stream (`length` of them, 0 when unknown) into copies
    // of `emptyBitmap`, the header followed by room for the rows.
    static std::unique_ptr<AviFrameDecompressor> Create(
        std::unique_ptr<VideoCursor> cursor, std::int64_t length, std::vector<std::uint8_t> emptyBitmap);

    class Impl;
    explicit AviFrameDecompressor(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> impl_;
};

class AviStream {
public:
    ~AviStream();
    AviStream(const AviStream&) = delete;
    AviStream& operator=(const AviStream&) = delete;

    const AviStreamInfo& Info() const;
    // The first key frame at or after `position`; -1 when there is none.
    std::int64_t FindNextKeyFrame(std::int64_t position);
    // Video streams only: a decompressor to the default format (32-bit RGB).
    // The decoder and the converter take the values `settings` holds for them.
    std::unique_ptr<AviFrameDecompressor> OpenDecompressor(MediaError& error, const ComponentSettings& settings = {});

    class Impl;
    explicit AviStream(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> impl_;
};

class AviFile {
public:
    // Null on failure with `error` filled; AviSynth scripts give
    // MediaFailure::ScriptFailed when it cannot be evaluated.
    static std::unique_ptr<AviFile> Open(const std::string& path, MediaError& error);
    ~AviFile();
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    const AviFileInfo& Info() const;
    // The `index`-th stream (from 0) of `type`; null when there is none.
    std::unique_ptr<AviStream> GetStream(std::uint32_t type, int index);

    class Impl;

private:
    explicit AviFile(std::shared_ptr<Impl> impl);
    std::shared_ptr<Impl> impl_;
};

} // namespace discforge
