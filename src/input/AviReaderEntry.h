// The AVI reader's record of one input, parallel to the input table (entry i
// belongs to input i): its AVI file objects and its own copies of the input's
// picture options and frame range.
#pragma once

#include "input/ListFile.h"
#include "platform/AviFile.h"

#include <memory>
#include <string>

namespace discforge {

struct AviReaderEntry {
    std::string path;
    std::string listDirectory; // never written by the AVI reader
    std::unique_ptr<AviFile> aviFile;
    std::unique_ptr<AviStream> videoAviStream; // first video stream; null when there is none
    std::unique_ptr<AviStream> audioAviStream; // first audio stream; null when there is none
    std::unique_ptr<AviFrameDecompressor> getFrame;
    AviStreamInfo streamInfo; // of the video stream
    AviFileInfo fileInfo;
    ListFile listFile; // never opened by the AVI reader

    bool videoReady = false; // the reader can deliver frames of this input
    bool hasAudio = false;   // the reader delivers no audio
    bool isAviFile = false;  // set at the end of every open
    bool deinterlace = false;
    bool invert = false; // mirror of the input's invert; every writer of one writes both
    bool fitCrop = false;
    bool fitProportional = false;
    bool fitFillIn = false;
    int cropX = 0;
    int cropY = 0;
    int cropWidth = 0;
    int cropHeight = 0;
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
    int outputWidth = 0;
    int outputHeight = 0;
};

} // namespace discforge
