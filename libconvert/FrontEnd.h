// Where the encoder meets the user: the progress display and the failure messages.
// Inside a running Qt Widgets application both are windows over the program's window;
// otherwise progress is a line on standard error when that is a terminal, and failures
// are printed there.
#pragma once

#include "ProgressView.h"

#include <memory>
#include <string>

namespace discforge::convert {

class FrontEnd {
public:
    FrontEnd();
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // The program's top-level window (a QWidget) or null; the owner of our windows.
    void SetOwnerWindow(void* window);
    std::unique_ptr<ProgressView> OpenProgress(const std::string& outputName);
    // Brings the progress window of the running encode to the front.
    void RaiseProgress();
    void TellFailure(const std::string& outputName, const std::string& cause);

private:
    struct Windows;
    std::unique_ptr<Windows> windows_;
    ProgressView* current_ = nullptr;
};

} // namespace discforge::convert
