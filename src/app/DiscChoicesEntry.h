// Each input's choices of what goes on the disc, in a project file's extension block:
// the subtitles named for it and those switched off, whether a DVD's picture carries
// its subtitle, and the sound tracks left off a DVD. Only what differs from the way an
// input opens is written, so an older file opens as it always did.
#pragma once

#include "app/ProjectExtension.h"
#include "input/InputEntry.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace discforge {

void KeepDiscChoices(ProjectExtension& extension, std::uint16_t scope, const InputEntry& entry);
// The choices kept for record `record`; those the block lacks or holds damaged stay as they are.
void RestoreDiscChoices(const ProjectExtension& extension, int record, InputEntry& entry);

std::vector<std::uint8_t> EncodeSubtitleSources(const std::vector<SubtitleSource>& sources);
// Nothing from bytes that do not hold whole entries.
std::optional<std::vector<SubtitleSource>> DecodeSubtitleSources(std::span<const std::uint8_t> bytes);

} // namespace discforge
