#include "SkinLayout.h"

namespace discforge::skin {
namespace {

// The grid: two columns as wide as the previews, with equal margins and gap.
constexpr int windowWidth = 960;
constexpr int windowHeight = 704;
constexpr int margin = 32;
constexpr int columnWidth = 432;
constexpr int leftColumn = margin;
constexpr int rightColumn = margin + columnWidth + margin;
constexpr int spacing = 8;

// The header strip: the program's name on the left; four icon buttons and, set
// apart, the exit button on the right.
constexpr int headerHeight = 48;
constexpr int headerButton = 32;
constexpr int headerButtonTop = (headerHeight - headerButton) / 2;
constexpr int exitLeft = windowWidth - margin - headerButton;
constexpr int exitGap = 16;
constexpr int headerIconsLeft = exitLeft - exitGap - 4 * headerButton - 3 * spacing;

// The previews, 4:3, with a play button and a position bar under each.
constexpr int previewTitleBaseline = 72;
constexpr int previewTop = 82;
constexpr int previewHeight = columnWidth * 3 / 4;
constexpr int transportTop = previewTop + previewHeight + spacing;
constexpr int transportHeight = 28;
constexpr int playWidth = 36;
constexpr int barLeft = playWidth + spacing;
constexpr int barHeight = 20;

// Groups under the previews: a heading, then rows of options.
constexpr int groupTop = transportTop + transportHeight + 20;
constexpr int headingGap = 22; // from a heading's top to the first control under it
constexpr int headingBaseline = 12; // from a heading's top
constexpr int fieldBaseline = 16; // from a field's top to the baseline of its text
constexpr int rowStep = 24;
constexpr int optionHeight = 20;
constexpr int fieldHeight = 24;
constexpr int captionIndent = 22;
constexpr int firstRow = groupTop + headingGap;
// Four rows: the fourth holds the Picture group's shape choice.
constexpr int secondGroupTop = firstRow + 4 * rowStep + 10;
constexpr int secondRowTop = secondGroupTop + headingGap;
// Output has three rows: splitting, shutting down and making a disc.
constexpr int bottom = secondRowTop + 3 * fieldHeight;

// Left column: the input list with the open button, the output file with the
// choose button.
constexpr int sideButton = 32;
constexpr int listWidth = columnWidth - sideButton - spacing;
constexpr int sideButtonLeft = leftColumn + columnWidth - sideButton;
constexpr int outputFieldHeight = 28;
constexpr int outputFieldTop = bottom - outputFieldHeight;
constexpr int outputHeadingTop = outputFieldTop - headingGap;
constexpr int listHeight = outputHeadingTop - 14 - firstRow;

// Right column: Disc, TV standard, Picture and Size side by side; under them
// Output beside the Convert button.
constexpr int groupGap = 16;
constexpr int discLeft = rightColumn;
constexpr int discWidth = 76;
constexpr int standardLeft = discLeft + discWidth + groupGap;
constexpr int standardWidth = 92;
constexpr int pictureLeft = standardLeft + standardWidth + groupGap;
constexpr int pictureWidth = 112;
constexpr int sizeLeft = pictureLeft + pictureWidth + groupGap;
constexpr int sizeFieldWidth = 44;
constexpr int sizeFieldGap = 16; // room for the "x" between width and height
constexpr int sizeFieldTop = firstRow - 2;
constexpr int splitWidth = captionIndent + 72;
constexpr int maxSizeLeft = rightColumn + splitWidth + 4;
constexpr int maxSizeWidth = 52;
constexpr int shutdownWidth = 200;
constexpr int discCheckWidth = 194;
constexpr int discButtonLeft = rightColumn + discCheckWidth + 4;
// The shape choice, side by side under the fitting choices.
constexpr int shapeAutoWidth = 62;
constexpr int shapeFourByThreeWidth = 52;
constexpr int shapeSixteenByNineWidth = 60;
constexpr int shapeFourByThreeLeft = pictureLeft + shapeAutoWidth + 4;
constexpr int shapeSixteenByNineLeft = shapeFourByThreeLeft + shapeFourByThreeWidth + 4;
constexpr int convertWidth = 200;
constexpr int convertHeight = 48;
// The disc size under the disc options, reaching under TV standard: the choice,
// the field for a size in MB and its unit; the meter above the Convert button,
// where the batch's fit is read before it starts.
constexpr int discSizeTop = firstRow + 3 * rowStep - 2;
constexpr int discSizeChoiceWidth = 100;
constexpr int discSizeFieldLeft = discLeft + discSizeChoiceWidth + 4;
constexpr int discSizeFieldWidth = 44;

constexpr int Row(int index) { return firstRow + index * rowStep; }

constexpr Box HeaderSlot(int index)
{
    return {headerIconsLeft + index * (headerButton + spacing), headerButtonTop, headerButton, headerButton};
}

void AddPreview(SkinLayout& layout, int column, const char* title, const char* hint)
{
    layout.texts.push_back({title, column, previewTitleBaseline, TextStyle::title, false});
    if (hint[0] != '\0') {
        layout.texts.push_back({hint, column + columnWidth, previewTitleBaseline, TextStyle::hint, true});
    }
}

void AddConstructionEntries(SkinLayout& layout)
{
    auto& e = layout.entries;
    e.push_back({"convert", Kind::imageButton,
        {rightColumn + columnWidth - convertWidth, bottom - convertHeight, convertWidth, convertHeight}, ""});
    e.push_back({"checklog", Kind::imageButton, HeaderSlot(0), ""});
    e.push_back({"help", Kind::imageButton, HeaderSlot(1), ""});
    e.push_back({"about", Kind::imageButton, HeaderSlot(2), ""});
    e.push_back({"exit", Kind::imageButton, {exitLeft, headerButtonTop, headerButton, headerButton}, ""});
    e.push_back({"inputplay", Kind::imageButton, {leftColumn, transportTop, playWidth, transportHeight}, ""});
    e.push_back({"outputplay", Kind::imageButton, {rightColumn, transportTop, playWidth, transportHeight}, ""});
    e.push_back({"openfile", Kind::imageButton, {sideButtonLeft, firstRow, sideButton, sideButton}, ""});
    e.push_back({"rename", Kind::imageButton, {sideButtonLeft, outputFieldTop, sideButton, outputFieldHeight}, ""});
    e.push_back({"home", Kind::imageButton, HeaderSlot(3), ""});
    e.push_back({"discfolder", Kind::imageButton,
        {discButtonLeft, secondRowTop + 2 * fieldHeight, fieldHeight, fieldHeight}, ""});
    e.push_back({"InputPreviewBox", Kind::previewBox, {leftColumn, previewTop, columnWidth, previewHeight}, ""});
    e.push_back({"OutputPreviewBox", Kind::previewBox, {rightColumn, previewTop, columnWidth, previewHeight}, ""});
}

void AddSetupEntries(SkinLayout& layout)
{
    auto& e = layout.entries;
    e.push_back({"MainSize", Kind::windowSize, {windowWidth, windowHeight, 0, 0}, ""});
    e.push_back({"VCDRadio", Kind::radio, {discLeft, Row(0), discWidth, optionHeight}, "VCD"});
    e.push_back({"DVDRadio", Kind::radio, {discLeft, Row(2), discWidth, optionHeight}, "DVD"});
    e.push_back({"SVCDRadio", Kind::radio, {discLeft, Row(1), discWidth, optionHeight}, "SVCD"});
    e.push_back({"InputFileNameField", Kind::list, {leftColumn, firstRow, listWidth, listHeight}, ""});
    e.push_back({"OutputFileNameField", Kind::field, {leftColumn, outputFieldTop, listWidth, outputFieldHeight}, ""});
    e.push_back({"MpegWidthField", Kind::field, {sizeLeft, sizeFieldTop, sizeFieldWidth, fieldHeight}, ""});
    e.push_back({"MpegHeightField", Kind::field,
        {sizeLeft + sizeFieldWidth + sizeFieldGap, sizeFieldTop, sizeFieldWidth, fieldHeight}, ""});
    e.push_back({"NTSCRadio", Kind::radio, {standardLeft, Row(0), standardWidth, optionHeight}, "NTSC"});
    e.push_back({"PALRadio", Kind::radio, {standardLeft, Row(1), standardWidth, optionHeight}, "PAL"});
    e.push_back({"FillInRadio", Kind::radio, {pictureLeft, Row(1), pictureWidth, optionHeight}, "Fill in"});
    e.push_back({"PROPORTIONALRadio", Kind::radio, {pictureLeft, Row(0), pictureWidth, optionHeight}, "Proportional"});
    e.push_back({"ShutdownCheck", Kind::check, {rightColumn, secondRowTop + fieldHeight, shutdownWidth, fieldHeight},
        "Shut down when done"});
    e.push_back({"InvertCheck", Kind::check, {pictureLeft, Row(2), pictureWidth, optionHeight}, "Invert"});
    e.push_back({"SplitCheck", Kind::check, {rightColumn, secondRowTop, splitWidth, fieldHeight}, "Split every"});
    e.push_back({"MAXLENField", Kind::field, {maxSizeLeft, secondRowTop, maxSizeWidth, fieldHeight}, ""});
}

void AddPositionBars(SkinLayout& layout)
{
    const int barTop = transportTop + (transportHeight - barHeight) / 2;
    layout.entries.push_back(
        {"InputPositionBar", Kind::positionBar, {leftColumn + barLeft, barTop, columnWidth - barLeft, barHeight}, ""});
    layout.entries.push_back({"OutputPositionBar", Kind::positionBar,
        {rightColumn + barLeft, barTop, columnWidth - barLeft, barHeight}, ""});
}

void AddDiscCheck(SkinLayout& layout)
{
    layout.entries.push_back({"DiscCheck", Kind::check,
        {rightColumn, secondRowTop + 2 * fieldHeight, discCheckWidth, fieldHeight}, "Make a disc after converting"});
}

void AddShapeRadios(SkinLayout& layout)
{
    auto& e = layout.entries;
    e.push_back({"ShapeAutoRadio", Kind::radio, {pictureLeft, Row(3), shapeAutoWidth, optionHeight}, "Auto"});
    e.push_back(
        {"Shape43Radio", Kind::radio, {shapeFourByThreeLeft, Row(3), shapeFourByThreeWidth, optionHeight}, "4:3"});
    e.push_back({"Shape169Radio", Kind::radio, {shapeSixteenByNineLeft, Row(3), shapeSixteenByNineWidth, optionHeight},
        "16:9"});
}

void AddDiscSize(SkinLayout& layout)
{
    auto& e = layout.entries;
    e.push_back({"DiscSizeChoice", Kind::choice, {discLeft, discSizeTop, discSizeChoiceWidth, fieldHeight}, ""});
    e.push_back({"DiscSizeField", Kind::field, {discSizeFieldLeft, discSizeTop, discSizeFieldWidth, fieldHeight}, ""});
    e.push_back({"DiscMeter", Kind::meter,
        {rightColumn + columnWidth - convertWidth, secondRowTop, convertWidth, fieldHeight}, ""});
    layout.texts.push_back({"MB", discSizeFieldLeft + discSizeFieldWidth + 6, discSizeTop + fieldBaseline,
        TextStyle::caption, false});
}

// How the window grows: only through strips that cross nothing but plain
// surface, the inside of the preview boxes and the input list, so that no
// caption or image button is stretched. The layout is cut into three rows by
// what its columns may widen through: the previews with their transport, the
// option groups, and the output row beside Convert. Each row widens through
// one strip per column; a new control needs no rule of its own unless it sits
// across one of these strips. Listed after the controls: keys are found by substring.
void AddGrowth(SkinLayout& layout)
{
    constexpr int transportEnd = transportTop + transportHeight + 6;
    constexpr int outputRowTop = secondRowTop - 6;
    // Left column: right of the program's name and the headings, inside the
    // previews and the input list, short of the open and choose buttons.
    constexpr int previewStripLeft = leftColumn + columnWidth / 2;
    constexpr int previewStripRight = leftColumn + columnWidth - spacing;
    constexpr int listStripLeft = leftColumn + listWidth / 2;
    constexpr int listStripRight = leftColumn + listWidth - spacing;
    // Right column: left of the header's buttons and the preview's hint; right
    // of every option group, which stay together; between the disc folder button
    // and Convert, which moves with the column's right edge.
    constexpr int outputStripLeft = rightColumn + columnWidth / 4;
    constexpr int outputStripRight = rightColumn + columnWidth / 2;
    constexpr int groupsStripLeft = rightColumn + columnWidth;
    constexpr int groupsStripRight = windowWidth - spacing;
    constexpr int convertStripLeft = discButtonLeft + fieldHeight;
    constexpr int convertStripRight = rightColumn + columnWidth - convertWidth;
    const auto columns = [](int left, int right, int top, int bottom) {
        return Box{left, top, right - left, bottom - top};
    };
    auto& e = layout.entries;
    e.push_back({"StretchX1", Kind::stretchColumns, columns(previewStripLeft, previewStripRight, 0, transportEnd), ""});
    e.push_back({"StretchX2", Kind::stretchColumns, columns(outputStripLeft, outputStripRight, 0, transportEnd), ""});
    e.push_back(
        {"StretchX3", Kind::stretchColumns, columns(listStripLeft, listStripRight, transportEnd, windowHeight), ""});
    e.push_back({"StretchX4", Kind::stretchColumns,
        columns(groupsStripLeft, groupsStripRight, transportEnd, outputRowTop), ""});
    e.push_back({"StretchX5", Kind::stretchColumns,
        columns(convertStripLeft, convertStripRight, outputRowTop, windowHeight), ""});
    // Most of the height goes to the previews, the rest to the input list and
    // the room between the option groups and the output group.
    constexpr int previewStripTop = previewTop + spacing;
    constexpr int previewStripBottom = previewTop + previewHeight - spacing;
    constexpr int gapStripTop = Row(3) + optionHeight + 1;
    constexpr int gapStripBottom = secondGroupTop - 1;
    e.push_back({"StretchY1", Kind::stretchRows, {0, previewStripTop, 0, previewStripBottom - previewStripTop}, "", 3});
    e.push_back({"StretchY2", Kind::stretchRows, {0, gapStripTop, 0, gapStripBottom - gapStripTop}, "", 1});
    // Two thirds of the full size: it still fits a screen of 1600 x 1000 at twice the size.
    e.push_back({"SmallestSize", Kind::smallestSize, {windowWidth * 2 / 3, windowHeight * 2 / 3, 0, 0}, ""});
}

void AddHeadingsAndLabels(SkinLayout& layout)
{
    const int headings = groupTop + headingBaseline;
    auto& t = layout.texts;
    t.push_back({"Inputs", leftColumn, headings, TextStyle::heading, false});
    t.push_back({"Output file", leftColumn, outputHeadingTop + headingBaseline, TextStyle::heading, false});
    t.push_back({"Disc", discLeft, headings, TextStyle::heading, false});
    t.push_back({"TV standard", standardLeft, headings, TextStyle::heading, false});
    t.push_back({"Picture", pictureLeft, headings, TextStyle::heading, false});
    t.push_back({"Size", sizeLeft, headings, TextStyle::heading, false});
    t.push_back({"\u00d7", sizeLeft + sizeFieldWidth + 4, sizeFieldTop + fieldBaseline, TextStyle::hint, false});
    t.push_back({"pixels", sizeLeft, Row(1) + 16, TextStyle::hint, false});
    t.push_back({"Output", rightColumn, secondGroupTop + headingBaseline, TextStyle::heading, false});
    t.push_back({"MB", maxSizeLeft + maxSizeWidth + 6, secondRowTop + fieldBaseline, TextStyle::caption, false});
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
        {"discfolderbutton", "discfolder", Glyph::folder, Tone::raised, ""},
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
    AddDiscCheck(layout);
    AddShapeRadios(layout);
    AddDiscSize(layout);
    AddGrowth(layout);
    AddHeadingsAndLabels(layout);
    AddButtons(layout);
    AddPreview(layout, leftColumn, "Input", "");
    AddPreview(layout, rightColumn, "Output", "as it will be encoded");
    return layout;
}

} // namespace discforge::skin
