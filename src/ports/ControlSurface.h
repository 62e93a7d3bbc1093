// The controls that core logic reads and writes, addressed by their dialog ids.
// The window implements it with its widgets; tests and the command-line tool use
// MemoryControlSurface.
#pragma once

#include <string>

namespace discforge {

// A scroll bar's range as the program sets it: the thumb covers `pageStep`
// positions, so the last position a user can reach is maximum - pageStep + 1.
struct ScrollRange {
    int minimum = 0;
    int maximum = 0;
    int lineStep = 1;
    int pageStep = 1;

    friend bool operator==(const ScrollRange&, const ScrollRange&) = default;
};

class ControlSurface {
public:
    virtual ~ControlSurface() = default;
    virtual void SetChecked(int id, bool checked) = 0;
    virtual bool IsChecked(int id) const = 0;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string Text(int id) const = 0;
    virtual void SetEnabled(int id, bool enabled) = 0;
    virtual bool IsEnabled(int id) const = 0;

    // Scroll bars (the previews' position bars).
    virtual void SetScrollRange(int id, const ScrollRange& range) = 0;
    virtual ScrollRange GetScrollRange(int id) const = 0;
    virtual void SetScrollPosition(int id, int position) = 0;
    virtual int ScrollPosition(int id) const = 0;

    // A play button and its stop button share an id: `stopShown` shows the stop
    // button in the place of the play button.
    virtual void ShowStopButton(int id, bool stopShown) = 0;
    virtual bool StopButtonShown(int id) const = 0;
};

} // namespace discforge
