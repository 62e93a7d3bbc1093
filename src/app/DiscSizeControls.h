// The window's disc size: a choice of the usual discs or a size in MB typed into
// the field beside it, and the meter that tells before converting what the batch
// takes of that disc.
#pragma once

#include "formats/DiscSize.h"

#include <optional>
#include <string>
#include <vector>

namespace discforge {

class AppParts;

// The choice's lines in order: no disc size, DVD-5, DVD-9, CD 74 min, CD 80 min, a size in MB.
std::vector<std::string> DiscSizeChoices();

// The size a line and the field's text stand for; nothing for "no disc size", for a
// line the choice does not have or for the MB line with a field out of range.
std::optional<DiscSize> DiscSizeOfChoice(const std::string& line, const std::string& megabytesText);

// The line that shows `size`.
std::string DiscSizeChoiceLine(const std::optional<DiscSize>& size);

// The choice was changed: its size becomes the settings'. The MB line takes the
// field's number, or fills the field with the disc chosen before in MB.
void DiscSizeChoiceMade(AppParts& core);
// The MB field lost the focus: a size of 1 MB or more is taken; anything else is
// refused with a message and the field shows the stored size again.
void DiscSizeFieldLeft(AppParts& core);
// The choice and the field show the settings' size.
void ShowDiscSize(AppParts& core);
// The meter: "3.9 of 4.7 GB", "needs 2 discs", or nothing without a disc size.
void ShowDiscMeter(AppParts& core);

} // namespace discforge
