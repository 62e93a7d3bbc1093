#include "core/headless/MemoryControlSurface.h"

#include <algorithm>

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

void MemoryControlSurface::SetScrollRange(int id, const ScrollRange& range)
{
    controls_[id].range = range;
    SetScrollPosition(id, controls_[id].position);
}

ScrollRange MemoryControlSurface::GetScrollRange(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->range : ScrollRange{};
}

// As a window's scroll bar does, the position stays where the thumb can go.
void MemoryControlSurface::SetScrollPosition(int id, int position)
{
    Control& control = controls_[id];
    const int last = std::max(control.range.minimum, control.range.maximum - control.range.pageStep + 1);
    control.position = std::clamp(position, control.range.minimum, last);
}

int MemoryControlSurface::ScrollPosition(int id) const
{
    const Control* control = Find(id);
    return control != nullptr ? control->position : 0;
}

void MemoryControlSurface::ShowStopButton(int id, bool stopShown) { controls_[id].stopShown = stopShown; }

bool MemoryControlSurface::StopButtonShown(int id) const
{
    const Control* control = Find(id);
    return control != nullptr && control->stopShown;
}

} // namespace discforge
