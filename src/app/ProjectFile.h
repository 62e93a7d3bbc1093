// The bytes of a project file: a 285-byte header and one 1104-byte input
// record per input, with no magic number, version or checksum. Integers are
// little-endian; unused bytes are written as zeros, so the same project always
// gives the same file.
#pragma once

#include "app/ProjectExtension.h"
#include "input/InputRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace discforge {

inline constexpr std::size_t projectHeaderSize = 285;
// The most inputs a project can hold: the input table's size.
inline constexpr int maxProjectInputs = 256;
inline constexpr std::size_t maxProjectFileSize
    = projectHeaderSize + maxProjectInputs * inputRecordSize + maxProjectExtensionSize;

struct ProjectHeader {
    bool batchMode = true;
    std::int32_t inputCount = 0;
    std::int32_t selectedInput = -1;
    std::int32_t framePosition = 0;
    std::string singleOutputName; // at most 259 bytes are kept
    std::int32_t sharedWidth = 0;
    std::int32_t sharedHeight = 0;
    bool liveOutputPreview = false;
};

using ProjectHeaderBytes = std::array<std::uint8_t, projectHeaderSize>;

ProjectHeaderBytes EncodeProjectHeader(const ProjectHeader& header);
ProjectHeader DecodeProjectHeader(const ProjectHeaderBytes& bytes);

// What a project file holds, read from its bytes before anything is changed.
struct ProjectContents {
    enum class Status {
        ok,
        shortHeader, // fewer than 285 bytes
        tooManyInputs, // a count above 256
        shortRecords, // the file ends inside the records: `records` holds the whole ones
    };
    Status status = Status::ok;
    ProjectHeader header;
    std::vector<InputRecord> records; // none for a count of 0 or less
    // Read only after whole records; `absent` for files of earlier programs.
    ProjectExtension::Status extensionStatus = ProjectExtension::Status::absent;
    ProjectExtension extension;
};

ProjectContents ParseProject(std::span<const std::uint8_t> bytes);

// The whole file of a project; an empty extension adds no byte.
std::vector<std::uint8_t> ProjectFileBytes(const ProjectHeader& header, const std::vector<InputRecord>& records,
    const ProjectExtension& extension = {});

} // namespace discforge
