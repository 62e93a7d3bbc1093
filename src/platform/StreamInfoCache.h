// What probing a file's streams found, kept for the next open of the same file.
// Every activation of an input and every rebuild of its streams opens the file
// again; for MP4 and Matroska files probing decodes the first frames of every
// stream (with H.264, a dozen frames and a set of decoder threads) each time.
#pragma once

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace discforge {

namespace stream_info_cache {

// Whether the demuxer's own header names every stream, so that what probing
// found can be laid onto a fresh open of the same file.
bool Applicable(const AVFormatContext* context);

// Lays what an earlier probe of this very file (same path, same contents by
// size, time and inode) found onto the freshly opened context; false when
// there is none or the streams the demuxer found differ from it.
bool Apply(AVFormatContext* context, const std::string& path);

// Keeps what avformat_find_stream_info found for the next open.
void Keep(const AVFormatContext* context, const std::string& path);

} // namespace stream_info_cache

} // namespace discforge
