#include "core/headless/MemoryControlSurface.h"

namespace discforge {

const MemoryControlSurface::Control* MemoryControlSurface::Find(int id) const
{
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

void MemoryControlSurface::SetChecked(int id, bool checked) { controls_[id].checked = checked; }

bool MemoryControlSurface::IsChecked(int id) const
{
    const Control* control = Find(id);
    return control != nullptr && control->checked;
}

void MemoryControlSurface::SetText(int id, const std::string& text) { controls_[id].text = text; }

std::string MemoryControlSurface::Text(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->text : std::string();
}

void MemoryControlSurface::SetEnabled(int id, bool enabled) { controls_[id].enabled = enabled; }

bool MemoryControlSurface::IsEnabled(int id) const
{
    const Control* control = Find(id);
    return control == nullptr || control->enabled;
}

} // namespace discforge
