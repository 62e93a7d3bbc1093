#include "ConvertLibrary.h"
#include "TestPaths.h"

#include <dlfcn.h>

namespace discforge::test {

std::string ConvertLibrary::Path() { return std::string(DISCFORGE_BIN_DIR) + "/libconvert.so"; }

ConvertLibrary::ConvertLibrary()
{
    handle_ = ::dlopen(Path().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        error_ = ::dlerror();
        return;
    }
    init = reinterpret_cast<SwMpegInitFn>(::dlsym(handle_, "swMPEGInit"));
    makeMpeg = reinterpret_cast<SwMpegMakeMpegFn>(::dlsym(handle_, "swMPEGMakeMPEG"));
    shutdown = reinterpret_cast<SwMpegShutdownFn>(::dlsym(handle_, "swMPEGShutdown"));
    setFocus = reinterpret_cast<SwMpegSetFocusFn>(::dlsym(handle_, "swMPEGSetFocus"));
    appWnd = reinterpret_cast<SwMpegAppWndFn>(::dlsym(handle_, "swMPEGAppWnd"));
    extend = reinterpret_cast<SwMpegExtendFn>(::dlsym(handle_, "swMPEGExtend"));
    soundTracks = reinterpret_cast<SwMpegSoundTracksFn>(::dlsym(handle_, "swMPEGSoundTracks"));
}

ConvertLibrary::~ConvertLibrary()
{
    if (shutdown != nullptr) {
        shutdown();
    }
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
}

bool ConvertLibrary::Loaded() const
{
    return init != nullptr && makeMpeg != nullptr && shutdown != nullptr && setFocus != nullptr && appWnd != nullptr;
}

} // namespace discforge::test
