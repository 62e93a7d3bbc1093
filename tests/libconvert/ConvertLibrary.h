// The encoder library under test, loaded from the build's bin folder like the program does.
#pragma once

#include "encoder/EncodeParameters.h"

#include <string>

namespace discforge::test {

class ConvertLibrary {
public:
    ConvertLibrary();
    ~ConvertLibrary();
    ConvertLibrary(const ConvertLibrary&) = delete;
    ConvertLibrary& operator=(const ConvertLibrary&) = delete;

    static std::string Path();
    bool Loaded() const;
    const std::string& Error() const { return error_; }

    SwMpegInitFn init = nullptr;
    SwMpegMakeMpegFn makeMpeg = nullptr;
    SwMpegShutdownFn shutdown = nullptr;
    SwMpegSetFocusFn setFocus = nullptr;
    SwMpegAppWndFn appWnd = nullptr;
    SwMpegExtendFn extend = nullptr;
    SwMpegSoundTracksFn soundTracks = nullptr;

private:
    void* handle_ = nullptr;
    std::string error_;
};

} // namespace discforge::test
