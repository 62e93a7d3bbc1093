// A one-line progress bar on standard error, redrawn in place.
#pragma once

#include "ProgressView.h"

#include <string>

namespace discforge::convert {

class TerminalProgress : public ProgressView {
public:
    explicit TerminalProgress(std::string outputName);
    ~TerminalProgress() override;
    void Show(const ProgressReport& report) override;

private:
    std::string outputName_;
    bool shown_ = false;
};

// A view that shows nothing: standard error is not a terminal and there is no window.
class SilentProgress : public ProgressView {
public:
    void Show(const ProgressReport&) override {}
};

} // namespace discforge::convert
