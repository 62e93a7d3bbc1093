// Handing files to the desktop: documents open in their viewer, programs start
// on their own. The window implements it; runs without a window record it.
#pragma once

#include <string>

namespace discforge {

class ShellPort {
public:
    virtual ~ShellPort() = default;
    // Opens a document (or a web address) in the user's viewer; false when nothing could open it.
    virtual bool OpenDocument(const std::string& pathOrAddress) = 0;
    // Starts a program without waiting for it; false when it could not be started.
    virtual bool StartProgram(const std::string& path) = 0;
};

} // namespace discforge
