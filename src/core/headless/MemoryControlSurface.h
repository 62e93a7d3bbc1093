// Controls held in memory, for runs without a window.
#pragma once

#include "ports/ControlSurface.h"

#include <map>

namespace discforge {

class MemoryControlSurface final : public ControlSurface {
public:
    void SetChecked(int id, bool checked) override;
    bool IsChecked(int id) const override;
    void SetText(int id, const std::string& text) override;
    std::string Text(int id) const override;
    void SetEnabled(int id, bool enabled) override;
    bool IsEnabled(int id) const override;
    void SetScrollRange(int id, const ScrollRange& range) override;
    ScrollRange GetScrollRange(int id) const override;
    void SetScrollPosition(int id, int position) override;
    int ScrollPosition(int id) const override;
    void ShowStopButton(int id, bool stopShown) override;
    bool StopButtonShown(int id) const override;

private:
    struct Control {
        bool checked = false;
        bool enabled = true;
        std::string text;
        ScrollRange range;
        int position = 0;
        bool stopShown = false;
    };
    const Control* Find(int id) const;

    std::map<int, Control> controls_;
};

} // namespace discforge
