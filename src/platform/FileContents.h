// Whole small files: read with a size limit, and replaced only once the new
// content is completely written, so a failed write never damages the old file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace discforge {

enum class FileReadResult { ok, cannotOpen, readFailed };
// Reads at most `maxBytes` from the start of the file into `bytes`.
FileReadResult ReadFileStart(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes);

enum class FileWriteResult { ok, cannotCreate, writeFailed };
// Writes `bytes` into a new file beside `path`, then renames it over `path`.
// On failure `path` is left as it was and nothing else remains.
FileWriteResult ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace discforge
