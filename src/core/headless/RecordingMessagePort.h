// Messages kept in memory: what was shown and asked, in order, with a preset
// answer to every question.
#pragma once

#include "ports/MessagePort.h"

#include <string>
#include <vector>

namespace discforge {

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
    bool AskYesNo(const std::string& text, const std::string& caption) override
    {
        asked.push_back({text, caption, MessageIcon::None});
        return answerYes;
    }

    std::vector<ShownMessage> shown;
    std::vector<ShownMessage> asked;
    bool answerYes = true;
};

} // namespace discforge
