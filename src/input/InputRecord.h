// The fixed 1104-byte form of an InputEntry that project files store: 32-bit
// little-endian integers, 64-bit IEEE doubles, zero-terminated strings in
// 260-byte arrays. Slots that held stream objects, handles and buffers are
// written as zeros and mean nothing when read back. The fitting is written as
// the record's three flags, exactly one of them set, and read back from them:
// fill-in first, then crop, otherwise proportional.
#pragma once

#include "input/InputEntry.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace discforge {

inline constexpr std::size_t inputRecordSize = 1104;
using InputRecord = std::array<std::uint8_t, inputRecordSize>;

// Every byte of the result is defined; strings longer than 259 bytes are cut.
InputRecord EncodeInputRecord(const InputEntry& entry);
// The entry a record describes, with no stream objects, list file or buffers.
InputEntry DecodeInputRecord(const InputRecord& record);

} // namespace discforge
