// How the media layers (MmStream, AviFile) report a failure: a kind the caller
// can branch on and a text that says which FFmpeg call failed and why.
#pragma once

#include <string>

namespace discforge {

enum class MediaFailure {
    None,
    FileMissing, // the path does not name a readable file
    ScriptFailed, // a script outside the readable language, or one that cannot be evaluated
    NotMedia, // libavformat cannot open or probe the file
    NoStream, // the file has no stream of the kind asked for
    NoDecoder, // no decoder for the stream's codec
    BadFormat, // picture size, sample rate or channel count out of range
    ReadFailed, // reading or demuxing failed after the open
    DecodeFailed, // the decoder refused the stream or a frame
    ResourceFailed, // memory, a converter or the worker thread could not be made
    WrongState, // the call does not fit the object's state (no sample, locked surface ...)
};

struct MediaError {
    MediaFailure failure = MediaFailure::None;
    std::string text;

    bool Failed() const { return failure != MediaFailure::None; }
};

// True when the path names an AviSynth script (by its ".avs" ending), which
// the layers read as a script rather than as a media file.
bool IsAviSynthScriptPath(const std::string& path);

} // namespace discforge
