// Access to the stand-in encoder libraries built beside the tests. Holding a
// FakeEncoder keeps the library loaded, so its call record outlives the loader.
#pragma once

#include "TestPaths.h"

#include <dlfcn.h>

#include <string>
#include <vector>

namespace discforge::test {

inline std::string FakeEncoderPath(const std::string& variant)
{
    return std::string(FAKE_CONVERT_DIR) + "/libfakeconvert_" + variant + ".so";
}

class FakeEncoder {
public:
    explicit FakeEncoder(const std::string& variant, int initResult = 0)
        : path_(FakeEncoderPath(variant))
        , handle_(dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (handle_ != nullptr) {
            reinterpret_cast<void (*)(int)>(dlsym(handle_, "fakeConvertReset"))(initResult);
        }
    }
    ~FakeEncoder()
    {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    FakeEncoder(const FakeEncoder&) = delete;
    FakeEncoder& operator=(const FakeEncoder&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    void FailMake(int call, int result) const
    {
        reinterpret_cast<void (*)(int, int)>(dlsym(handle_, "fakeConvertFailMake"))(call, result);
    }
    void SetInitResult(int result) const
    {
        reinterpret_cast<void (*)(int)>(dlsym(handle_, "fakeConvertSetInitResult"))(result);
    }
    void PullFirstFrame() const { reinterpret_cast<void (*)(int)>(dlsym(handle_, "fakeConvertPullFirstFrame"))(1); }
    const std::string& Path() const { return path_; }

    std::vector<std::string> Calls() const
    {
        auto count = reinterpret_cast<int (*)()>(dlsym(handle_, "fakeConvertCallCount"));
        auto call = reinterpret_cast<const char* (*)(int)>(dlsym(handle_, "fakeConvertCall"));
        std::vector<std::string> calls;
        for (int i = 0; i < count(); ++i) {
            calls.emplace_back(call(i));
        }
        return calls;
    }

private:
    std::string path_;
    void* handle_;
};

} // namespace discforge::test
