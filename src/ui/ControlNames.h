// Names for screen readers of the window's controls that show no caption of their
// own (the fields, the input list and the position bars, whose captions the skin's
// background draws) or the same caption as another (the play and stop buttons).
#pragma once

class QWidget;

namespace discforge::ui {

// Names each such control among the children of `window`, found by its object name.
void NameUncaptionedControls(QWidget& window);

} // namespace discforge::ui
