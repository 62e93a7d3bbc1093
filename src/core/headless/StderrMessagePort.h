// Messages of a run without a window: printed on standard error as
// "caption: text". Nobody can answer a question, so it is printed and taken as Yes.
#pragma once

#include "ports/MessagePort.h"

namespace discforge {

class StderrMessagePort final : public MessagePort {
public:
    void ShowBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
};

} // namespace discforge
