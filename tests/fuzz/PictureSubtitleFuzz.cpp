// The picture subtitle reader on arbitrary bytes, as a PGS stream (".sup") or as the
// ".sub" of a VobSub index that points into it: whatever it keeps lies in its frame, in
// time order, within the limits, with its pixels all there.
#include "platform/PictureSubtitleTrack.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/discforge-fuzz-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string("/tmp");
    }();
    return folder;
}

void Check(const discforge::PictureSubtitles& read, const discforge::PictureSubtitleLimits& limits)
{
    std::int64_t lastEnd = 0;
    std::size_t bytes = 0;
    for (const discforge::SubtitlePicture& picture : read.pictures) {
        if (picture.startMs < lastEnd || picture.endMs <= picture.startMs || picture.x < 0 || picture.y < 0
            || picture.width <= 0 || picture.height <= 0 || picture.x + picture.width > read.frameWidth
            || picture.y + picture.height > read.frameHeight
            || picture.rgba.size() != static_cast<std::size_t>(picture.width) * picture.height * 4) {
            __builtin_trap();
        }
        lastEnd = picture.endMs;
        bytes += picture.rgba.size();
    }
    if (read.pictures.size() > limits.events || bytes > limits.totalBytes) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const bool vobSub = (data[0] & 1) != 0;
    const std::string stem = Folder() + "/input";
    std::ofstream(stem + (vobSub ? ".sub" : ".sup"), std::ios::binary)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    if (vobSub) {
        std::ofstream(stem + ".idx") << "# VobSub index file, v7 (do not modify this line!)\nsize: 720x576\n"
                                        "id: en, index: 0\ntimestamp: 00:00:01:000, filepos: 000000000\n"
                                        "timestamp: 00:00:02:000, filepos: 000000800\n";
    }
    discforge::PictureSubtitleLimits limits;
    limits.totalBytes = std::size_t{64} << 20;
    discforge::MediaError error;
    Check(discforge::ReadPictureSubtitles(stem + (vobSub ? ".idx" : ".sup"), 1, limits, error), limits);
    return 0;
}
