#include "platform/MediaComponentNames.h"

#include <array>

namespace discforge {

namespace {

struct NamedCodec {
    AVCodecID id;
    const char* name;
};

// Names are chosen so that the decoder-kind words land each family sensibly:
// H.264 must not read as "MPEG-4" (FFmpeg's own long name says "MPEG-4 AVC").
constexpr std::array namedCodecs{
    NamedCodec{AV_CODEC_ID_MPEG1VIDEO, "MPEG-1 Video"},
    NamedCodec{AV_CODEC_ID_MPEG2VIDEO, "MPEG-2 Video"},
    NamedCodec{AV_CODEC_ID_MPEG4, "MPEG-4 Part 2 Video"},
    NamedCodec{AV_CODEC_ID_MSMPEG4V1, "Microsoft MPEG-4 v1 Video"},
    NamedCodec{AV_CODEC_ID_MSMPEG4V2, "Microsoft MPEG-4 v2 Video"},
    NamedCodec{AV_CODEC_ID_MSMPEG4V3, "Microsoft MPEG-4 v3 Video"},
    NamedCodec{AV_CODEC_ID_H264, "H.264 (AVC) Video"},
    NamedCodec{AV_CODEC_ID_HEVC, "H.265 (HEVC) Video"},
    NamedCodec{AV_CODEC_ID_MJPEG, "Motion JPEG Video"},
    NamedCodec{AV_CODEC_ID_RAWVIDEO, "Uncompressed Video"},
};

} // namespace

std::string SourceComponentName(const AVInputFormat* format)
{
    const char* name = format->long_name != nullptr ? format->long_name : format->name;
    return std::string(name) + " source";
}

std::string DecoderComponentName(const AVCodec* decoder)
{
    for (const NamedCodec& named : namedCodecs) {
        if (named.id == decoder->id) {
            return std::string(named.name) + " decoder";
        }
    }
    const char* name = decoder->long_name != nullptr ? decoder->long_name : decoder->name;
    return std::string(name) + " decoder";
}

} // namespace discforge
