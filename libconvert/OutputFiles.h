/*
 * The files of one encode. Each part is written under a temporary name in the output's
 * own folder (so the final rename stays on one file system) and takes its final name only
 * when the whole encode succeeded. Whatever was not committed is removed, so a failed or
 * cancelled encode leaves an earlier file of the same name untouched.
 * The parts' final names are those of encoder/OutputPartNames.h.
 */
#pragma once

#include "EncodeStatus.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace discforge::convert {

class OutputFiles {
public:
    explicit OutputFiles(std::string outputName);
    ~OutputFiles();
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;

    // Creates the next part's temporary file; the earlier part must be closed.
    EncodeStatus OpenPart();
    // Appends to the open part; the first failure sticks and is returned again.
    EncodeStatus Write(const uint8_t* data, std::size_t size);
    int64_t PartBytes() const { return partBytes_; }
    // Flushes the open part to the disk and closes it.
    EncodeStatus ClosePart();
    // Gives every closed part its final name.
    EncodeStatus Commit();

    std::size_t PartCount() const { return temporaryNames_.size(); }

private:
    void RemoveTemporaries();

    std::string outputName_;
    std::vector<std::string> temporaryNames_;
    int fd_ = -1;
    int64_t partBytes_ = 0;
    EncodeStatus writeStatus_;
    bool committed_ = false;
};

} // namespace discforge::convert
