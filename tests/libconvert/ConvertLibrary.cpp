#include "ConvertLibrary.h"

#include <cstdlib>
#include <filesystem>
#include <dlfcn.h>

namespace discforge::test {

std::string ConvertLibrary::Path()
{
    if (const char* folder = std::getenv("DISCFORGE_BIN")) {
        return std::string(folder) + "/libconvert.so";
    }
    // Test programs live in <build>/tests, the library in <build>/bin.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path().parent_path() / "bin" / "libconvert.so").string();
}

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
