// The control of one option in the property frame, chosen by the option's
// type and range: a spin box within its minimum and maximum, a check box, a
// list of its named choices, a check box per flag, or a text field. Each
// control is named after its option.
#pragma once

#include "ports/ComponentOption.h"

#include <string>

class QWidget;

namespace discforge::ui {

QWidget* MakeOptionEditor(const ComponentOption& option, QWidget* parent);
// The value the control shows, as the component reads it.
std::string EditorValue(const QWidget* editor, const ComponentOption& option);
void SetEditorValue(QWidget* editor, const ComponentOption& option, const std::string& value);

} // namespace discforge::ui
