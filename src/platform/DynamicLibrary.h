// A shared object loaded at run time through the normal library search.
#pragma once

#include <string>

namespace discforge {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // On failure LastError() holds the system's text.
    bool Open(const std::string& name);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    // Null when the library does not export `symbol`.
    void* Symbol(const char* symbol) const;
    const std::string& LastError() const { return lastError_; }

private:
    void* handle_ = nullptr;
    std::string lastError_;
};

} // namespace discforge
