// The one description of the default skin: where every control sits, which
// captions and headings the background carries, and how each image button looks.
// position.txt, the background and the button strips are all drawn from it, so
// they cannot disagree. Coordinates are logical pixels of the 1x skin; the
// painters multiply them by the scale.
#pragma once

#include <string>
#include <vector>

namespace discforge::skin {

struct Box {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
};

// The last three say how the layout grows with the window: a strip of columns
// (box) that widens, a strip of rows (box.y, box.h) that heightens by its
// weight, and the smallest size (box.x, box.y) the window may be made.
enum class Kind {
    windowSize,
    imageButton,
    previewBox,
    positionBar,
    radio,
    check,
    field,
    list,
    choice,
    meter,
    stretchColumns,
    stretchRows,
    smallestSize
};

// One line of position.txt. Radio buttons and check boxes have empty labels in
// the window, so their caption is drawn into the background beside the indicator.
// The window-size entry keeps the client width and height in box.x and box.y,
// the two numbers its line carries.
struct LayoutEntry {
    std::string key;
    Kind kind = Kind::field;
    Box box;
    std::string caption;
    int weight = 0; // a strip of rows: its share of the extra height
};

enum class Glyph { play, stop, folder, pencil, document, question, info, house, power, disc, film };

// primary: the accent-filled main action; raised: an icon button on a filled face;
// flat: an icon in the header strip that shows its face only when hot or pressed;
// danger: a flat button that turns red when hot.
enum class Tone { primary, raised, flat, danger };

// One picture of button faces; play and stop share their key and rectangle.
struct ButtonArt {
    std::string fileName;
    std::string key;
    Glyph glyph = Glyph::play;
    Tone tone = Tone::raised;
    std::string label;
};

enum class TextStyle { title, heading, caption, hint };

struct TextArt {
    std::string text;
    int x = 0;
    int baseline = 0; // texts of both sizes in one row share their baseline
    TextStyle style = TextStyle::caption;
    bool alignRight = false; // x is then the right edge of the text
};

struct SkinLayout {
    int width = 0;
    int height = 0;
    int headerHeight = 0;
    int captionIndent = 0; // from a radio's or check box's left edge to its caption
    std::vector<LayoutEntry> entries; // in the order of position.txt
    std::vector<ButtonArt> buttons;
    std::vector<Box> panels;
    std::vector<TextArt> texts;

    const LayoutEntry* Find(const std::string& key) const;
};

SkinLayout DefaultLayout();

} // namespace discforge::skin
