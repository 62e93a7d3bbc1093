// The ports of a run without a window: messages on standard error as
// "caption: text", no events to pump, a close request remembered.
#pragma once

#include "platform/MessagePort.h"
#include "platform/WindowPort.h"

#include <cstdio>

namespace discforge::cli {

class StderrMessagePort final : public MessagePort {
public:
    void ShowBox(const std::string& text, const std::string& caption, MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        ++shown_;
    }
    int Shown() const { return shown_; }

private:
    int shown_ = 0;
};

class HeadlessWindowPort final : public WindowPort {
public:
    void PumpMessages() override { }
    void PostCloseRequest() override { closeRequested_ = true; }
    bool CloseRequested() const { return closeRequested_; }

private:
    bool closeRequested_ = false;
};

} // namespace discforge::cli
