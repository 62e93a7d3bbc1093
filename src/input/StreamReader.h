// The stream reader: builds an input's decoding objects (video stream with
// its frame surface, audio stream with one video frame's worth of PCM), writes
// the decoder chains to the run log, sorts the video decoder into a kind, reads
// the timing and the audio format into the entry, and opens the AVI reader
// for kind 3. Shows its own messages; runs on the user-interface thread.
#pragma once

#include "input/AviReader.h"
#include "input/MediaInputContext.h"
#include "input/VideoStreamReader.h"

#include <string>
#include <vector>

namespace discforge {

class StreamReader final : public VideoStreamReader {
public:
    explicit StreamReader(MediaInputContext context);

    bool OpenStreams(int index) override;
    void ReleaseStreams(int index) override;
    // The periodic rebuild of the sequential fetch: releases the entry's streams and
    // opens them again without the dialog and the messages that the user has seen at
    // the first open. The media layer goes on with their decoding where it stands.
    bool RebuildStreams(int index);
    // The next open of input `index` shows the decoder settings dialog on its
    // video chain before the first frame; -1 asks for none.
    void AskForDecoderSettings(int index) { settingsAskedFor_ = index; }

    // Lists the video chain's components with settings into `text`, sets the
    // decoder kind and the codec text of entry `index`.
    void InspectVideoGraph(const std::vector<MediaComponent>& components, std::string& text, int index);
    void InspectAudioGraph(const std::vector<MediaComponent>& components, std::string& text);

    AviReader& Avi() { return avi_; }
    const MediaInputContext& Context() const { return context_; }

private:
    bool Open(int index, bool rebuilding);
    bool ReadTiming(int index, const MmStream& video);
    void SetUpAudio(int index, MmStream& audio, StreamObjects& objects);
    void LogSoundTracks(const InputEntry& entry);
    void Status(const std::string& text);
    void Status(int number);
    bool Fail(const std::string& text);
    void ApplyKind(int index);

    MediaInputContext context_;
    AviReader avi_;
    // The streams a rebuild reopens, between their release and the open.
    std::unique_ptr<MmStream> reusedVideo_;
    std::unique_ptr<MmStream> reusedAudio_;
    int settingsAskedFor_ = -1;
};

} // namespace discforge
