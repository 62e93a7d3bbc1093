#include "app/ProjectExtension.h"

#include <algorithm>

namespace discforge {
namespace {

constexpr std::uint8_t blockMark[4] = {'F', 'D', 'X', 'B'};
constexpr std::size_t blockHeadSize = 4 + 2 + 4;
constexpr std::size_t entryHeadSize = 2 + 2 + 4;

void PutLittle(std::vector<std::uint8_t>& bytes, std::uint32_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

std::uint32_t GetLittle(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}

} // namespace

void ProjectExtension::SetBytes(ProjectTag tag, std::uint16_t scope, std::vector<std::uint8_t> value)
{
    entries_[{static_cast<std::uint16_t>(tag), scope}] = std::move(value);
}

void ProjectExtension::SetInt(ProjectTag tag, std::uint16_t scope, std::int32_t value)
{
    std::vector<std::uint8_t> bytes;
    PutLittle(bytes, static_cast<std::uint32_t>(value), 4);
    SetBytes(tag, scope, std::move(bytes));
}

void ProjectExtension::SetText(ProjectTag tag, std::uint16_t scope, const std::string& value)
{
    SetBytes(tag, scope, std::vector<std::uint8_t>(value.begin(), value.end()));
}

const std::vector<std::uint8_t>* ProjectExtension::Bytes(ProjectTag tag, std::uint16_t scope) const
{
    const auto found = entries_.find({static_cast<std::uint16_t>(tag), scope});
    return found == entries_.end() ? nullptr : &found->second;
}

std::optional<std::int32_t> ProjectExtension::Int(ProjectTag tag, std::uint16_t scope) const
{
    const std::vector<std::uint8_t>* bytes = Bytes(tag, scope);
    if (bytes == nullptr || bytes->size() != 4) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(GetLittle(*bytes, 0, 4));
}

std::optional<std::string> ProjectExtension::Text(ProjectTag tag, std::uint16_t scope) const
{
    const std::vector<std::uint8_t>* bytes = Bytes(tag, scope);
    if (bytes == nullptr) {
        return std::nullopt;
    }
    return std::string(bytes->begin(), bytes->end());
}

std::vector<std::uint8_t> ProjectExtension::Encode() const
{
    if (entries_.empty()) {
        return {};
    }
    std::vector<std::uint8_t> bytes(std::begin(blockMark), std::end(blockMark));
    PutLittle(bytes, projectExtensionVersion, 2);
    PutLittle(bytes, static_cast<std::uint32_t>(entries_.size()), 4);
    for (const auto& [key, value] : entries_) {
        PutLittle(bytes, key.first, 2);
        PutLittle(bytes, key.second, 2);
        PutLittle(bytes, static_cast<std::uint32_t>(value.size()), 4);
        bytes.insert(bytes.end(), value.begin(), value.end());
    }
    return bytes;
}

ProjectExtension::Status ProjectExtension::Decode(std::span<const std::uint8_t> bytes, ProjectExtension& extension)
{
    extension.entries_.clear();
    if (bytes.empty()) {
        return Status::absent;
    }
    if (bytes.size() < blockHeadSize || !std::equal(std::begin(blockMark), std::end(blockMark), bytes.begin())
        || GetLittle(bytes, 4, 2) != projectExtensionVersion || bytes.size() > maxProjectExtensionSize) {
        return Status::unknownFormat;
    }
    const std::uint32_t count = GetLittle(bytes, 6, 4);
    std::size_t at = blockHeadSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < entryHeadSize) {
            return Status::damaged;
        }
        const auto tag = static_cast<std::uint16_t>(GetLittle(bytes, at, 2));
        const auto scope = static_cast<std::uint16_t>(GetLittle(bytes, at + 2, 2));
        const std::uint32_t length = GetLittle(bytes, at + 4, 4);
        at += entryHeadSize;
        if (length > bytes.size() - at) {
            return Status::damaged;
        }
        const auto start = bytes.begin() + static_cast<std::ptrdiff_t>(at);
        extension.entries_[{tag, scope}] = std::vector<std::uint8_t>(start, start + length);
        at += length;
    }
    return Status::ok;
}

} // namespace discforge
