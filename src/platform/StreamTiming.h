// The timing of a file's streams as the media layers number frames: rates,
// where a stream starts and ends, and how many frames it holds, with the
// corrections that files written by common tools need.
#pragma once

#include <cstdint>

extern "C" {
#include <libavformat/avformat.h>
}

namespace discforge {

// Program streams: the length of each picture stream from its decoding times.
void MendProgramStreamLengths(AVFormatContext* context);

// Frames per second of a video stream as a fraction; 0/1 when unknown.
AVRational StreamFrameRate(const AVStream* stream);
// Where frame 0 (or sample 0) of a stream lies, in its time base: its first timestamp
// (0 when unknown), except for a video that an AVI muxer started late (see the .cpp).
std::int64_t StreamStartPts(const AVFormatContext* context, const AVStream* stream);
// Where sample 0 of a sound stream lies, in its time base: the file's first picture,
// so that sound and pictures share one clock; a gap before the sound is silence and
// sound before the picture is dropped. An AVI file carries no start times (its
// streams all start at their first chunk), nor does a file without pictures: there
// the sound's own start.
std::int64_t SoundZeroPts(const AVFormatContext* context, const AVStream* sound);
// Whether the sound's timestamps place it (a jump in them is a gap to fill); AVI
// timestamps only count the chunks.
bool SoundTimestampsPlace(const AVFormatContext* context);
// Samples of a coder's start-up delay that the file itself does not account for:
// in AVI, which keeps neither edit lists nor start times, the standard delay of the
// MP3, MP2, AAC and AC-3 coders; 0 elsewhere, where the timestamps or the decoder's
// skip-samples data carry it.
std::int64_t UnmarkedCoderDelay(const AVFormatContext* context, const AVStream* sound);
// Stream length in 100-ns units from StreamStartPts to the stream's end, which comes
// from the stream, else from its "DURATION" tag, else from the file; 0 when unknown.
std::int64_t StreamDuration100ns(const AVFormatContext* context, const AVStream* stream);
// Whole frames in a video stream, from its duration and rate or its frame count.
std::int64_t StreamFrameCount(const AVFormatContext* context, const AVStream* stream);

} // namespace discforge
