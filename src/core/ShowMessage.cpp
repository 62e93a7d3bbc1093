#include "core/ShowMessage.h"

#include "core/AppIdentity.h"

namespace discforge {
namespace {

constexpr std::size_t kCaptionLimit = 79;

} // namespace

std::string ComposeCaption(const std::string& captionText)
{
    std::string caption = appTitle;
    if (!captionText.empty()) {
        caption += " - ";
        caption += captionText;
    }
    if (caption.size() > kCaptionLimit) {
        caption.resize(kCaptionLimit);
    }
    return caption;
}

void ShowMessage(MessagePort& port, const std::string& text, const std::string& captionText)
{
    port.ShowBox(text, ComposeCaption(captionText), MessageIcon::None);
}

} // namespace discforge
