// Frame and audio fetch: brings a requested frame into the active input's
// frame surface, or one video frame's worth of PCM into its audioBuffer. Both
// ask the stream for an asynchronous update and then poll for completion in
// one-second waits, pumping window messages, showing their progress in the
// cancel dialog, honouring its Cancel and giving up after a fixed number of
// waits with a message that names the codec.
#pragma once

#include "input/MediaInputContext.h"

namespace discforge {

class SampleStream;
class StreamReader;

enum FetchResult : int {
    fetchOk = 0,
    fetchCancelled = 1,
    fetchSeekFailed = 2,
    fetchUpdateFailed = 3,
    fetchAudioTimeout = 11,
    fetchVideoTimeout = 21,
};

class FrameFetch {
public:
    FrameFetch(MediaInputContext context, StreamReader& streams);

    // Output frame `frameNumber` of the run, mapped to a source frame by the
    // input's rate and the television standard.
    int FetchVideoFrame(int index, int frameNumber);
    // Source frame `source` (clamped to the selected frames) for a preview,
    // which may ask for any frame in any order: the stream is placed on it
    // whatever was fetched before.
    int FetchPreviewFrame(int index, int source);
    // `position`: input sample frames from the start of the file.
    int FetchAudioSample(int index, int position);

    // Source frame of an output frame: truncated output number x input rate / output rate.
    static int SourceFrame(int frameNumber, double frameRate, int tvStandard);

private:
    // The wait cursor and the in-progress mark around FetchVideo.
    int FetchWithProgress(int index, int source);
    int FetchVideo(int index, int source);
    int UpdateSequential(int index, int source, MmAnswer& answer);
    int WaitForVideo(int index, MmAnswer answer);
    int FetchAudio(int index, int position);
    int WaitForAudio(int index, int position, MmAnswer answer);
    void Status(const std::string& text);
    void CloseDialogOpenedMeanwhile(bool hadDialog);
    SampleStream* VideoStream(int index);
    SampleStream* AudioStream(int index);

    MediaInputContext context_;
    StreamReader& streams_;
};

} // namespace discforge
