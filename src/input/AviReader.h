// The AVI reader: for inputs of decoder kind 3 it opens the file through the
// AVI file interface, checks that decoded frames can be had, finds the last
// frame that decodes and keeps its own record of the input (aviReaderTable).
// The frame supply and the previews then take frames from the record's
// decompressor. Failures are shown to the user here.
#pragma once

#include "input/MediaInputContext.h"

namespace discforge {

class VideoStreamReader;

class AviReader {
public:
    AviReader(MediaInputContext context, VideoStreamReader& streams);

    // Called by the stream open for kind 3; the open goes on whatever the result.
    bool OpenAviReader(int index);
    // Opens file, streams and decompressor; succeeds at once when the file is open.
    bool InitAviReader(int index);
    // Closes the decompressor, the video stream, the audio stream and the file.
    void ReleaseAviReader(int index);

private:
    AviReaderEntry& Entry(int index);
    void Show(const std::string& text, const char* context);
    bool Refuse(int index, const std::string& text, const char* context);
    // The last frame from the end that decodes; 0 when none but the first.
    int LastDecodableFrame(AviReaderEntry& entry);
    void DeactivateOthers(int index);

    MediaInputContext context_;
    VideoStreamReader& streams_;
};

} // namespace discforge
