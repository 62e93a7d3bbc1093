// A control inside a scrolling list (a spin box or a choice list among many
// options) that the pointer passes over while the user scrolls: without the
// focus, the wheel goes to the nearest scrolling area around it (which scrolls)
// instead of changing its value.
#pragma once

class QWidget;

namespace discforge::ui {

// From now on `control` takes the wheel only once it has the focus (a click or
// Tab), and a wheel does not give it the focus.
void LetWheelPassUnfocused(QWidget* control);

} // namespace discforge::ui
