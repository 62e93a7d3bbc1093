// The project loader's reading on arbitrary bytes: the header, the count and
// every whole record it finds, decoded as an open would use them.
#include "app/ProjectFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const discforge::ProjectContents contents = discforge::ParseProject(std::span<const std::uint8_t>(data, size));
    std::size_t pathBytes = contents.header.singleOutputName.size();
    for (const discforge::InputRecord& record : contents.records) {
        const discforge::InputEntry entry = discforge::DecodeInputRecord(record);
        pathBytes += entry.path.size() + entry.outputPath.size();
    }
    // What was read must stay inside the fields it came from.
    if (pathBytes > (contents.records.size() * 2 + 1) * 260) {
        __builtin_trap();
    }
    return 0;
}
