// The desktop: documents and web pages open in the user's own programs,
// programs start detached.
#pragma once

#include "ports/ShellPort.h"

namespace discforge::ui {

class QtShell final : public ShellPort {
public:
    bool OpenDocument(const std::string& pathOrAddress) override;
    bool StartProgram(const std::string& path) override;
};

} // namespace discforge::ui
