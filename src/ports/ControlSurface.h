// The controls that core logic reads and writes, addressed by their dialog ids.
// The window implements it with its widgets; tests and the command-line tool use
// MemoryControlSurface.
#pragma once

#include <string>

namespace discforge {

class ControlSurface {
public:
    virtual ~ControlSurface() = default;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string Text(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;
};

} // namespace discforge
