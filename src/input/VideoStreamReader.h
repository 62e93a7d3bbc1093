// What the input table needs of the stream reader. The stream reader builds
// and releases an entry's decoding objects and fills its figures.
#pragma once

namespace discforge {

class VideoStreamReader {
public:
    virtual ~VideoStreamReader() = default;
    // Builds the objects of entry `index` and fills its size, timing and audio
    // figures; shows its own messages. After a failure the caller releases.
    virtual bool OpenStreams(int index) = 0;
    // Releases whatever entry `index` holds; harmless when it holds nothing.
    virtual void ReleaseStreams(int index) = 0;
};

} // namespace discforge
