// How the main window's messages reach their handlers: one table of (message,
// notification, control id, handler), searched in order, the first match
// winning. Commands and control notifications carry the command message; so
// any command can be posted by its id.
#pragma once

#include <QPoint>

#include <span>

class QPainter;

namespace discforge::ui {

namespace msg {
inline constexpr unsigned paint = 0x000F;
inline constexpr unsigned eraseBackground = 0x0014;
inline constexpr unsigned command = 0x0111;
inline constexpr unsigned timer = 0x0113;
inline constexpr unsigned horizontalScroll = 0x0114;
inline constexpr unsigned leftButtonDown = 0x0201;
} // namespace msg

namespace notify {
inline constexpr unsigned clicked = 0;
inline constexpr unsigned selectionChange = 1;
inline constexpr unsigned focusLost = 0x0200;
} // namespace notify

// Scroll codes of the horizontal scroll message.
namespace scroll {
inline constexpr int thumbTrack = 5; // the user drags the bar's thumb
inline constexpr int endScroll = 8; // the user let the bar go
} // namespace scroll

// What a message carries besides its codes.
struct MessageArgs {
    int value = 0; // timer id; scroll code
    int control = 0; // the scroll bar
    QPoint point; // where the mouse was pressed
    QPainter* painter = nullptr; // erase background, paint
};

template <typename Window> struct ResponseEntry {
    unsigned message;
    unsigned notification;
    int id; // 0 for window messages
    void (Window::*handler)(const MessageArgs&);
};

// The first entry that matches; null when none does.
template <typename Window>
const ResponseEntry<Window>* FindResponse(
    std::span<const ResponseEntry<Window>> table, unsigned message, unsigned notification, int id)
{
    for (const ResponseEntry<Window>& entry : table) {
        if (entry.message == message && entry.notification == notification && entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace discforge::ui
