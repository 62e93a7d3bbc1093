// Ports that remember what the core asked of the window.
#pragma once

#include "platform/MessagePort.h"
#include "platform/WindowPort.h"

#include <string>
#include <vector>

namespace discforge::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

class RecordingMessagePort final : public MessagePort {
public:
    void ShowBox(const std::string& text, const std::string& caption, MessageIcon icon) override
    {
        shown.push_back({text, caption, icon});
    }
    std::vector<ShownMessage> shown;
};

class RecordingWindowPort final : public WindowPort {
public:
    void PumpMessages() override { ++pumps; }
    void PostCloseRequest() override { ++closeRequests; }
    int pumps = 0;
    int closeRequests = 0;
};

} // namespace discforge::test
