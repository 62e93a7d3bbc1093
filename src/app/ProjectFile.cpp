#include "app/ProjectFile.h"

#include <algorithm>
#include <cstring>

namespace discforge {
namespace {

constexpr std::size_t nameSize = 260;

namespace at {
constexpr std::size_t batchMode = 0;
constexpr std::size_t inputCount = 4;
constexpr std::size_t selectedInput = 8;
constexpr std::size_t framePosition = 12;
constexpr std::size_t singleOutputName = 16;
constexpr std::size_t sharedWidth = 276;
constexpr std::size_t sharedHeight = 280;
constexpr std::size_t liveOutputPreview = 284;
} // namespace at

void PutInt(ProjectHeaderBytes& bytes, std::size_t offset, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

std::int32_t GetInt(const ProjectHeaderBytes& bytes, std::size_t offset)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

} // namespace

ProjectHeaderBytes EncodeProjectHeader(const ProjectHeader& header)
{
    ProjectHeaderBytes bytes{};
    bytes[at::batchMode] = header.batchMode ? 1 : 0;
    PutInt(bytes, at::inputCount, header.inputCount);
    PutInt(bytes, at::selectedInput, header.selectedInput);
    PutInt(bytes, at::framePosition, header.framePosition);
    const std::size_t nameLength = std::min(header.singleOutputName.size(), nameSize - 1);
    std::memcpy(bytes.data() + at::singleOutputName, header.singleOutputName.data(), nameLength);
    PutInt(bytes, at::sharedWidth, header.sharedWidth);
    PutInt(bytes, at::sharedHeight, header.sharedHeight);
    bytes[at::liveOutputPreview] = header.liveOutputPreview ? 1 : 0;
    return bytes;
}

ProjectHeader DecodeProjectHeader(const ProjectHeaderBytes& bytes)
{
    ProjectHeader header;
    // The flag is the lowest byte of its 32-bit slot.
    header.batchMode = bytes[at::batchMode] != 0;
    header.inputCount = GetInt(bytes, at::inputCount);
    header.selectedInput = GetInt(bytes, at::selectedInput);
    header.framePosition = GetInt(bytes, at::framePosition);
    const auto* name = reinterpret_cast<const char*>(bytes.data() + at::singleOutputName);
    header.singleOutputName.assign(name, strnlen(name, nameSize));
    header.sharedWidth = GetInt(bytes, at::sharedWidth);
    header.sharedHeight = GetInt(bytes, at::sharedHeight);
    header.liveOutputPreview = bytes[at::liveOutputPreview] != 0;
    return header;
}

ProjectContents ParseProject(std::span<const std::uint8_t> bytes)
{
    ProjectContents contents;
    if (bytes.size() < projectHeaderSize) {
        contents.status = ProjectContents::Status::shortHeader;
        return contents;
    }
    ProjectHeaderBytes header{};
    std::copy_n(bytes.begin(), projectHeaderSize, header.begin());
    contents.header = DecodeProjectHeader(header);
    if (contents.header.inputCount > maxProjectInputs) {
        contents.status = ProjectContents::Status::tooManyInputs;
        return contents;
    }
    const auto wanted = static_cast<std::size_t>(std::max(contents.header.inputCount, 0));
    const std::size_t available = (bytes.size() - projectHeaderSize) / inputRecordSize;
    const std::size_t whole = std::min(wanted, available);
    contents.records.resize(whole);
    for (std::size_t i = 0; i < whole; ++i) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(projectHeaderSize + i * inputRecordSize),
            inputRecordSize, contents.records[i].begin());
    }
    if (whole < wanted) {
        contents.status = ProjectContents::Status::shortRecords;
        return contents;
    }
    contents.extensionStatus
        = ProjectExtension::Decode(bytes.subspan(projectHeaderSize + whole * inputRecordSize), contents.extension);
    return contents;
}

std::vector<std::uint8_t> ProjectFileBytes(
    const ProjectHeader& header, const std::vector<InputRecord>& records, const ProjectExtension& extension)
{
    const ProjectHeaderBytes head = EncodeProjectHeader(header);
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    bytes.reserve(projectHeaderSize + records.size() * inputRecordSize);
    for (const InputRecord& record : records) {
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    const std::vector<std::uint8_t> block = extension.Encode();
    bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

} // namespace discforge
