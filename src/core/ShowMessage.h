// The message convention of every user message: an OK box without icon whose
// caption is the title, " - " and a short context text.
#pragma once

#include "ports/MessagePort.h"

#include <string>

namespace discforge {

// appTitle + " - " + captionText, or appTitle alone for an empty captionText;
// at most 79 characters, as the caption buffer always held.
std::string ComposeCaption(const std::string& captionText);

void ShowMessage(MessagePort& port, const std::string& text, const std::string& captionText);

} // namespace discforge
