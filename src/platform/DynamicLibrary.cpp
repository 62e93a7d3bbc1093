#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace discforge {
namespace {

// A bare name is looked for beside the program first: the program's RUNPATH
// only serves a dlopen the loader sees coming from the program, which it does
// not when a sanitizer's dlopen stands between.
std::string BesideProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    const std::filesystem::path candidate = program.parent_path() / name;
    return std::filesystem::exists(candidate, error) ? candidate.string() : std::string();
}

} // namespace

DynamicLibrary::~DynamicLibrary() { Close(); }

bool DynamicLibrary::Open(const std::string& name)
{
    Close();
    const std::string beside = BesideProgram(name);
    handle_ = dlopen(beside.empty() ? name.c_str() : beside.c_str(), RTLD_NOW | RTLD_LOCAL);
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
