#include "SkinLayout.h"

namespace discforge::skin {
namespace {

// The grid: two columns as wide as the previews, with equal margins and gap.
constexpr int windowWidth = 960;
constexpr int windowHeight = 656;
constexpr int margin = 32;
constexpr int columnWidth = 432;
constexpr int leftColumn = margin;
constexpr int rightColumn = margin + columnWidth + margin;

constexpr int headerHeight = 48;
constexpr int headerButton = 32;
constexpr int headerButtonTop = (headerHeight - headerButton) / 2;

constexpr int previewTitleBaseline = 72;
constexpr int previewTop = 82;
constexpr int previewHeight = columnWidth * 3 / 4;
constexpr int transportTop = previewTop + previewHeight + 8;
constexpr int transportHeight = 28;
constexpr int playWidth = 36;

constexpr int groupTop = transportTop + transportHeight + 20;
constexpr int headingGap = 22; // from a heading's top to the first control under it
constexpr int rowStep = 24;
constexpr int headingBaseline = 12; // from a heading's top
constexpr int fieldBaseline = 16; // from a field's top to the baseline of its text
constexpr int optionHeight = 20;
constexpr int fieldHeight = 24;
constexpr int captionIndent = 22;
constexpr int sideButton = 32;

constexpr int secondGroupTop = groupTop + headingGap + 3 * rowStep + 10;
constexpr int secondRowTop = secondGroupTop + headingGap;
constexpr int convertWidth = 200;
constexpr int convertHeight = 48;
constexpr int outputFieldHeight = 28;
constexpr int outputFieldTop = secondRowTop + 2 * fieldHeight - outputFieldHeight;
constexpr int listTop = groupTop + headingGap;

void AddPreview(SkinLayout& layout, int column, const char* title, const char* hint)
{
    layout.texts.push_back({title, column, previewTitleBaseline, TextStyle::title, false});
    if (hint[0] != '\0') {
        layout.texts.push_back({hint, column + columnWidth, previewTitleBaseline, TextStyle::hint, true});
    }
}

void AddConstructionEntries(SkinLayout& layout)
{
    const int iconsLeft = windowWidth - margin - headerButton - 16 - 4 * headerButton - 3 * 8;
    auto headerSlot = [&](int index) {
        return Box{iconsLeft + index * (headerButton + 8), headerButtonTop, headerButton, headerButton};
    };
    const int convertTop = secondRowTop + 2 * fieldHeight - convertHeight;
    auto& e = layout.entries;
    e.push_back({"convert", Kind::imageButton,
        {rightColumn + columnWidth - convertWidth, convertTop, convertWidth, convertHeight}, ""});
    e.push_back({"checklog", Kind::imageButton, headerSlot(0), ""});
    e.push_back({"help", Kind::imageButton, headerSlot(1), ""});
    e.push_back({"about", Kind::imageButton, headerSlot(2), ""});
    e.push_back({"exit", Kind::imageButton,
        {windowWidth - margin - headerButton, headerButtonTop, headerButton, headerButton}, ""});
    e.push_back({"inputplay", Kind::imageButton, {leftColumn, transportTop, playWidth, transportHeight}, ""});
    e.push_back({"outputplay", Kind::imageButton, {rightColumn, transportTop, playWidth, transportHeight}, ""});
    e.push_back(
        {"openfile", Kind::imageButton, {leftColumn + columnWidth - sideButton, listTop, sideButton, sideButton}, ""});
    e.push_back({"rename", Kind::imageButton,
        {leftColumn + columnWidth - sideButton, outputFieldTop, sideButton, outputFieldHeight}, ""});
    e.push_back({"home", Kind::imageButton, headerSlot(3), ""});
    e.push_back({"InputPreviewBox", Kind::previewBox, {leftColumn, previewTop, columnWidth, previewHeight}, ""});
    e.push_back({"OutputPreviewBox", Kind::previewBox, {rightColumn, previewTop, columnWidth, previewHeight}, ""});
}

void AddSetupEntries(SkinLayout& layout)
{
    // Four groups side by side in the right column: Disc, TV standard, Picture, Size.
    const int discLeft = rightColumn;
    const int standardLeft = discLeft + 76 + 16;
    const int pictureLeft = standardLeft + 92 + 16;
    const int sizeLeft = pictureLeft + 112 + 16;
    const int firstRow = groupTop + headingGap;
    const int headings = groupTop + headingBaseline;
    auto row = [&](int index) { return firstRow + index * rowStep; };
    const int listWidth = columnWidth - sideButton - 8;
    const int splitWidth = captionIndent + 72;

    auto& e = layout.entries;
    e.push_back({"MainSize", Kind::windowSize, {windowWidth, windowHeight, 0, 0}, ""});
    e.push_back({"VCDRadio", Kind::radio, {discLeft, row(0), 76, optionHeight}, "VCD"});
    e.push_back({"DVDRadio", Kind::radio, {discLeft, row(2), 76, optionHeight}, "DVD"});
    e.push_back({"SVCDRadio", Kind::radio, {discLeft, row(1), 76, optionHeight}, "SVCD"});
    e.push_back(
        {"InputFileNameField", Kind::list, {leftColumn, listTop, listWidth, outputFieldTop - 22 - 14 - listTop}, ""});
    e.push_back({"OutputFileNameField", Kind::field, {leftColumn, outputFieldTop, listWidth, outputFieldHeight}, ""});
    e.push_back({"MpegWidthField", Kind::field, {sizeLeft, row(0) - 2, 44, fieldHeight}, ""});
    e.push_back({"MpegHeightField", Kind::field, {sizeLeft + 60, row(0) - 2, 44, fieldHeight}, ""});
    e.push_back({"NTSCRadio", Kind::radio, {standardLeft, row(0), 92, optionHeight}, "NTSC"});
    e.push_back({"PALRadio", Kind::radio, {standardLeft, row(1), 92, optionHeight}, "PAL"});
    e.push_back({"FillInRadio", Kind::radio, {pictureLeft, row(1), 112, optionHeight}, "Fill in"});
    e.push_back({"PROPORTIONALRadio", Kind::radio, {pictureLeft, row(0), 112, optionHeight}, "Proportional"});
    e.push_back({"ShutdownCheck", Kind::check, {rightColumn, secondRowTop + fieldHeight, 200, fieldHeight},
        "Shut down when done"});
    e.push_back({"InvertCheck", Kind::check, {pictureLeft, row(2), 112, optionHeight}, "Invert"});
    e.push_back({"SplitCheck", Kind::check, {rightColumn, secondRowTop, splitWidth, fieldHeight}, "Split every"});
    e.push_back({"MAXLENField", Kind::field, {rightColumn + splitWidth + 4, secondRowTop, 52, fieldHeight}, ""});

    layout.texts.push_back({"Disc", discLeft, headings, TextStyle::heading, false});
    layout.texts.push_back({"TV standard", standardLeft, headings, TextStyle::heading, false});
    layout.texts.push_back({"Picture", pictureLeft, headings, TextStyle::heading, false});
    layout.texts.push_back({"Size", sizeLeft, headings, TextStyle::heading, false});
    layout.texts.push_back({"\u00d7", sizeLeft + 48, row(0) - 2 + fieldBaseline, TextStyle::hint, false});
    layout.texts.push_back({"pixels", sizeLeft, row(1) + 16, TextStyle::hint, false});
    layout.texts.push_back({"Output", rightColumn, secondGroupTop + headingBaseline, TextStyle::heading, false});
    layout.texts.push_back(
        {"MB", rightColumn + splitWidth + 4 + 52 + 6, secondRowTop + fieldBaseline, TextStyle::caption, false});
    layout.texts.push_back({"Inputs", leftColumn, headings, TextStyle::heading, false});
    layout.texts.push_back(
        {"Output file", leftColumn, outputFieldTop - 22 + headingBaseline, TextStyle::heading, false});
}

void AddPositionBars(SkinLayout& layout)
{
    const int barLeft = playWidth + 8;
    const int barTop = transportTop + (transportHeight - 20) / 2;
    layout.entries.push_back(
        {"InputPositionBar", Kind::positionBar, {leftColumn + barLeft, barTop, columnWidth - barLeft, 20}, ""});
    layout.entries.push_back(
        {"OutputPositionBar", Kind::positionBar, {rightColumn + barLeft, barTop, columnWidth - barLeft, 20}, ""});
}

void AddButtons(SkinLayout& layout)
{
    layout.buttons = {
        {"convertbutton", "convert", Glyph::disc, Tone::primary, "Convert"},
        {"checklogbutton", "checklog", Glyph::document, Tone::flat, ""},
        {"helpbutton", "help", Glyph::question, Tone::flat, ""},
        {"aboutbutton", "about", Glyph::info, Tone::flat, ""},
        {"exitbutton", "exit", Glyph::power, Tone::danger, ""},
        {"inputplaybutton", "inputplay", Glyph::play, Tone::raised, ""},
        {"inputstopbutton", "inputplay", Glyph::stop, Tone::raised, ""},
        {"outputplaybutton", "outputplay", Glyph::play, Tone::raised, ""},
        {"outputstopbutton", "outputplay", Glyph::stop, Tone::raised, ""},
        {"openfilebutton", "openfile", Glyph::folder, Tone::raised, ""},
        {"renamebutton", "rename", Glyph::pencil, Tone::raised, ""},
        {"homebutton", "home", Glyph::house, Tone::flat, ""},
    };
}

} // namespace

const LayoutEntry* SkinLayout::Find(const std::string& key) const
{
    for (const LayoutEntry& entry : entries) {
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

SkinLayout DefaultLayout()
{
    SkinLayout layout;
    layout.width = windowWidth;
    layout.height = windowHeight;
    layout.headerHeight = headerHeight;
    layout.captionIndent = captionIndent;
    AddConstructionEntries(layout);
    AddSetupEntries(layout);
    AddPositionBars(layout);
    AddButtons(layout);
    AddPreview(layout, leftColumn, "Input", "");
    AddPreview(layout, rightColumn, "Output", "as it will be encoded");
    return layout;
}

} // namespace discforge::skin
