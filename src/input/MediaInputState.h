// The process-wide state of the stream reader, the AVI reader and the fetch:
// one record, owned by the application core beside the input table.
#pragma once

#include "input/AviReaderEntry.h"
#include "input/InputTableState.h"
#include "platform/AviFile.h"
#include "platform/MmStream.h"

#include <array>
#include <memory>

namespace discforge {

// The conversion run's flags that the readers consult; the run sets them.
struct RunFlags {
    bool conversionActive = false;
    bool encoderBusy = false;
    bool batchStop = false; // stop the batch; long work gives up when it is set
    // The encoder takes the input's own film pictures, one for each, instead of the
    // standard's frames: output frame n is source frame n.
    bool filmPictures = false;
    // The encoder takes pictures of two fields: each field is fitted apart.
    bool fieldPictures = false;
};

struct StreamReaderState {
    // Kinds 3 and 4: the file opened through the AVI file interface for its
    // header timing, and its first video stream (the fetch finds key frames in it).
    std::unique_ptr<AviFile> timingAviFile;
    std::unique_ptr<AviStream> timingAviStream;
    AviFileInfo timingFileInfo;
    double sourceFrameRate = 0.0;
    // Streams under construction; released at the start of the next open.
    std::unique_ptr<MmStream> pendingVideoStream;
    std::unique_ptr<MmStream> pendingAudioStream;
};

struct FetchState {
    unsigned lastFetchedFrame = 0; // one past the source frame last asked of the video sample
    int runStartFrame = 0; // first source frame of the run; the audio block count starts there
    int nextKeyFrame = -1; // kind 4: next key frame at or after the position; -1 when none
    int keyFrameCount = 0; // kind 4: key frames passed since start-up
    int audioBlockCounter = 0; // audio blocks handed out since the last restart
    bool fetchInProgress = false; // read by the previews
};

struct AviReaderState {
    std::array<AviReaderEntry, maxInputs> aviReaderTable;
    int aviReaderCount = 0; // successful opens
};

struct MediaInputState {
    RunFlags run;
    StreamReaderState reader;
    FetchState fetch;
    AviReaderState avi;
};

} // namespace discforge
