// One look for everything the program shows beside its skinned window: message
// boxes, file dialogs, menus, tool tips, the progress windows and the decoder
// dialog take the skin's own colours, so a dark skin gets dark dialogs and a
// light skin light ones.
#pragma once

#include <QImage>

namespace discforge::ui {

// Sets the application's style and palette from the skin's background; a
// null picture (no skin) leaves them as they are.
void UseSkinLook(const QImage& background);

} // namespace discforge::ui
