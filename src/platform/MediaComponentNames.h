// The names the media layer gives its components. The stream reader sorts a
// file's video decoder into a kind by looking for words in these names
// ("MPEG-4" before "MPEG"), so each codec family is named on purpose:
//   MPEG-1 and MPEG-2 video       -> "MPEG-1 Video decoder", "MPEG-2 Video decoder"
//   MPEG-4 part 2 (Xvid, DivX 4+) -> "MPEG-4 Part 2 Video decoder"
//   Microsoft MPEG-4 v1 to v3     -> "Microsoft MPEG-4 v3 Video decoder" (and v1, v2)
//   H.264, H.265                  -> "H.264 (AVC) Video decoder", "H.265 (HEVC) Video decoder"
//   Motion JPEG, raw video        -> "Motion JPEG Video decoder", "Uncompressed Video decoder"
//   anything else                 -> FFmpeg's long name of the decoder, then " decoder"
// Sources are named after the demuxer's long name, then " source". The video's
// conversion to BGRX pictures is the "Picture converter".
#pragma once

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace discforge {

inline constexpr const char* pictureConverterName = "Picture converter";

std::string SourceComponentName(const AVInputFormat* format);
std::string DecoderComponentName(const AVCodec* decoder);

} // namespace discforge
