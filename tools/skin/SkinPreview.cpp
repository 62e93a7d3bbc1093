#include "SkinPreview.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleFactory>

#include <map>

#include "SkinStyle.h"

namespace discforge::skin {
namespace {

constexpr int faceCount = 4;

struct SampleWidgets {
    QButtonGroup disc;
    QButtonGroup standard;
    QButtonGroup fitting;
    QButtonGroup shape;
};

QPixmap Picture(const std::string& folder, const std::string& name, int scale)
{
    QPixmap picture(QString::fromStdString(folder + "/" + name));
    picture.setDevicePixelRatio(scale);
    return picture;
}

QWidget* MakeStandIn(const LayoutEntry& entry, QWidget* window, SampleWidgets& groups)
{
    const std::map<std::string, QString> texts = {
        {"OutputFileNameField", "/home/sam/Videos/Summer 2023/harbour-walk.mpg"},
        {"MpegWidthField", "352"},
        {"MpegHeightField", "240"},
        {"MAXLENField", "600"},
    };
    switch (entry.kind) {
    case Kind::list: {
        auto* list = new QListWidget(window);
        list->addItems({"/home/sam/Videos/Summer 2023/harbour-walk.avi", "/home/sam/Videos/Summer 2023/boat-trip.avi",
            "/home/sam/Pictures/slideshow.lst"});
        list->setCurrentRow(0);
        return list;
    }
    case Kind::field: {
        auto* field = new QLineEdit(texts.count(entry.key) ? texts.at(entry.key) : QString(), window);
        if (entry.key != "OutputFileNameField") {
            field->setAlignment(Qt::AlignCenter);
        }
        return field;
    }
    case Kind::radio: {
        auto* radio = new QRadioButton(window);
        QButtonGroup& group = entry.key.find("CD") != std::string::npos ? groups.disc
            : entry.key == "NTSCRadio" || entry.key == "PALRadio"       ? groups.standard
            : entry.key.rfind("Shape", 0) == 0                          ? groups.shape
                                                                        : groups.fitting;
        group.addButton(radio);
        radio->setChecked(entry.key == "VCDRadio" || entry.key == "PALRadio" || entry.key == "PROPORTIONALRadio"
            || entry.key == "ShapeAutoRadio");
        return radio;
    }
    case Kind::check: {
        auto* check = new QCheckBox(window);
        check->setChecked(entry.key == "SplitCheck");
        return check;
    }
    case Kind::choice: {
        auto* choice = new QComboBox(window);
        choice->addItem("DVD-5");
        return choice;
    }
    case Kind::meter: {
        auto* meter = new QLabel("3.9 of 4.7 GB", window);
        meter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return meter;
    }
    case Kind::positionBar: {
        auto* bar = new QScrollBar(Qt::Horizontal, window);
        bar->setRange(0, 100);
        bar->setValue(30);
        return bar;
    }
    case Kind::windowSize:
    case Kind::stretchColumns:
    case Kind::stretchRows:
    case Kind::smallestSize:
    case Kind::imageButton:
    case Kind::previewBox:
        break;
    }
    return nullptr;
}

} // namespace

void UseSkinPalette()
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QPalette palette;
    palette.setColor(QPalette::Window, colour::window);
    palette.setColor(QPalette::WindowText, colour::text);
    palette.setColor(QPalette::Base, QColor(0x17, 0x1b, 0x24));
    palette.setColor(QPalette::AlternateBase, colour::panel);
    palette.setColor(QPalette::Text, colour::text);
    palette.setColor(QPalette::Button, colour::buttonFill);
    palette.setColor(QPalette::ButtonText, colour::text);
    palette.setColor(QPalette::Highlight, colour::accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, colour::faint);
    palette.setColor(QPalette::Disabled, QPalette::Text, colour::faint);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, colour::faint);
    QApplication::setPalette(palette);
    QApplication::setFont(SkinFont(smallTextPixels, false));
}

bool WritePreview(const SkinLayout& layout, const std::string& skinFolder, int scale, int face,
    const std::string& pngPath, std::string& error)
{
    UseSkinPalette();
    QWidget window;
    window.setFixedSize(layout.width, layout.height);
    auto* background = new QLabel(&window);
    background->setPixmap(Picture(skinFolder, "interface.jpg", scale));
    background->setGeometry(0, 0, layout.width, layout.height);
    SampleWidgets groups;
    for (const LayoutEntry& entry : layout.entries) {
        const Box& box = entry.box;
        if (QWidget* standIn = MakeStandIn(entry, &window, groups)) {
            standIn->setGeometry(box.x, box.y, box.w, box.h);
        }
    }
    for (const ButtonArt& art : layout.buttons) {
        const LayoutEntry* entry = layout.Find(art.key);
        const bool stopButton = art.glyph == Glyph::stop;
        if (entry == nullptr || stopButton) {
            continue;
        }
        const QPixmap strip = Picture(skinFolder, art.fileName + ".jpg", scale);
        auto* button = new QLabel(&window);
        const int faceWidth = strip.width() / faceCount;
        button->setPixmap(strip.copy(face * faceWidth, 0, faceWidth, strip.height()));
        button->setGeometry(entry->box.x, entry->box.y, entry->box.w, entry->box.h);
    }
    for (const char* key : {"InputPreviewBox", "OutputPreviewBox"}) {
        const LayoutEntry* entry = layout.Find(key);
        auto* placeholder = new QLabel(&window);
        placeholder->setPixmap(Picture(skinFolder, key[0] == 'I' ? "inputpreview.jpg" : "outputpreview.jpg", scale));
        placeholder->setGeometry(entry->box.x, entry->box.y, entry->box.w, entry->box.h);
    }
    window.ensurePolished();
    if (!window.grab().save(QString::fromStdString(pngPath), "PNG")) {
        error = "cannot write " + pngPath;
        return false;
    }
    return true;
}

} // namespace discforge::skin
