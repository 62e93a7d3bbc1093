#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace discforge {

DynamicLibrary::~DynamicLibrary() { Close(); }

bool DynamicLibrary::Open(const std::string& name)
{
    Close();
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* text = dlerror();
        lastError_ = text != nullptr ? text : "unknown error";
        return false;
    }
    lastError_.clear();
    return true;
}

void DynamicLibrary::Close()
{
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

void* DynamicLibrary::Symbol(const char* symbol) const { return handle_ != nullptr ? dlsym(handle_, symbol) : nullptr; }

} // namespace discforge
