#include "core/headless/StderrMessagePort.h"

#include <cstdio>

namespace discforge {

void StderrMessagePort::ShowBox(const std::string& text, const std::string& caption, MessageIcon)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

bool StderrMessagePort::AskYesNo(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s Yes\n", caption.c_str(), text.c_str());
    return true;
}

} // namespace discforge
