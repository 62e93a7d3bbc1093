// The choices a project keeps beyond its header and records, in the file's
// extension block: the disc, the standard, the split, the shut-down switch and
// the whole paths of inputs and outputs.
#pragma once

#include "app/ProjectExtension.h"
#include "ports/ComponentOption.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace discforge {

class AppParts;
struct ProjectContents;

// The block for the work as it stands; paths are made absolute against the
// working folder, so that a program started elsewhere finds the same files.
ProjectExtension SaveChoices(const AppParts& core);
// Where record `index` of a project points: the block's whole path, else the
// record's own.
std::string SavedInputPath(const ProjectContents& contents, int index);
// The disc, standard, split and shut-down choices of the block, each only when
// the block has it. The standard counts as the user's choice. False when the
// encoder refused the format or standard (it has then said so).
bool RestoreBatchChoices(AppParts& core, const ProjectExtension& extension);
// The output path of record `index`, when the block holds one.
void RestoreOutputPath(AppParts& core, const ProjectExtension& extension, int record, int input);

// The bytes of an input's own decoder settings in the block, and back; nothing
// from bytes that do not hold whole triples.
std::vector<std::uint8_t> EncodeDecoderChoices(const ComponentSettings& choices);
std::optional<ComponentSettings> DecodeDecoderChoices(std::span<const std::uint8_t> bytes);
// The decoder settings record `index` keeps; none for a file without them.
ComponentSettings SavedDecoderChoices(const ProjectContents& contents, int index);

// A path made absolute against the working folder; left as it is when that fails.
std::string AbsolutePath(const std::string& path);

} // namespace discforge
