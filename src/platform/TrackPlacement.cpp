#include "platform/TrackPlacement.h"

#include "platform/MediaSource.h"
#include "platform/SoundTracks.h"
#include "platform/StreamTiming.h"

extern "C" {
#include <libavutil/mathematics.h>
}

namespace discforge {
namespace {

constexpr int dvdSoundRate = 48000;
constexpr std::int64_t highestDvdAc3Rate = 448000;
constexpr int widestDvdLayout = 6;
constexpr AVRational hundredNanoseconds{1, 10000000};

} // namespace

std::vector<PlacedTrack> PlaceSoundTracks(
    const std::string& path, const std::vector<int>& numbers, std::int64_t start100ns, MediaError& error)
{
    std::vector<PlacedTrack> placed;
    std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source) {
        return placed;
    }
    const AVFormatContext* context = source->Context();
    for (const int number : numbers) {
        const int index = number >= 1 ? SoundTrackStream(context, number) : -1;
        if (index < 0) {
            continue;
        }
        const AVStream* stream = context->streams[index];
        const AVCodecParameters& sound = *stream->codecpar;
        if (sound.sample_rate <= 0) {
            continue;
        }
        PlacedTrack track;
        track.number = number;
        track.streamIndex = index;
        // As the sound cursor places its samples: position p lies at zero + (p + delay) / rate.
        const std::int64_t delay = UnmarkedCoderDelay(context, stream);
        track.startPts = SoundZeroPts(context, stream)
            + av_rescale_q(delay, AVRational{1, sound.sample_rate}, stream->time_base)
            + av_rescale_q(start100ns, hundredNanoseconds, stream->time_base);
        track.channels = sound.ch_layout.nb_channels;
        track.dvdReady = sound.codec_id == AV_CODEC_ID_AC3 && sound.sample_rate == dvdSoundRate
            && sound.bit_rate > 0 && sound.bit_rate <= highestDvdAc3Rate && track.channels <= widestDvdLayout;
        placed.push_back(track);
    }
    return placed;
}

} // namespace discforge
