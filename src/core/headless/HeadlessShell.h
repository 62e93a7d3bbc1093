// The desktop of a run without a window: what would have been opened or
// started is remembered, nothing is launched.
#pragma once

#include "ports/ShellPort.h"

#include <string>
#include <vector>

namespace discforge {

class HeadlessShell final : public ShellPort {
public:
    bool OpenDocument(const std::string& pathOrAddress) override
    {
        openedDocuments.push_back(pathOrAddress);
        return hasOpener;
    }
    bool StartProgram(const std::string& path) override
    {
        startedPrograms.push_back(path);
        return true;
    }

    // False stands for a desktop without a program that opens documents.
    bool hasOpener = true;
    std::vector<std::string> openedDocuments;
    std::vector<std::string> startedPrograms;
};

} // namespace discforge
