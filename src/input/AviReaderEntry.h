// The AVI reader's record of one input, parallel to the input table (entry i
// belongs to input i): its AVI file objects and the frame range it decodes.
// The picture options stay in the input's own entry.
#pragma once

#include "platform/AviFile.h"

#include <memory>
#include <string>

namespace discforge {

struct AviReaderEntry {
    std::string path;
    std::unique_ptr<AviFile> aviFile;
    std::unique_ptr<AviStream> videoAviStream; // first video stream; null when there is none
    std::unique_ptr<AviStream> audioAviStream; // first audio stream; null when there is none
    std::unique_ptr<AviFrameDecompressor> getFrame;
    AviStreamInfo streamInfo; // of the video stream
    AviFileInfo fileInfo;

    bool videoReady = false; // the reader can deliver frames of this input
    bool hasAudio = false; // the reader delivers no audio
    bool isAviFile = false; // set at the end of every open
    int msPerFrame = 0;
    int selectionStart = 0;
    int selectionEnd = 0;
    int firstFrame = 0;
    int lastFrame = 0; // the last frame that decodes
    int openMarker = 0;
    int position = 0;
    unsigned totalFrames = 0;
    unsigned selectedFrames = 0;
    int sourceBits = 0; // bits per pixel of the decoded frames
};

} // namespace discforge
