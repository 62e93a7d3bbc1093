// The main window's controls and the skin: the image buttons and preview boxes
// read while the window is made, the size and the control places read once it
// exists, the background and the placeholders, and moving the frameless window.
#include "ui/TMainWindow.h"

#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "ui/SkinFolder.h"
#include "ui/SkinPicture.h"
#include "ui/TImageButton.h"
#include "ui/UiMessages.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <array>
#include <span>

namespace discforge::ui {
namespace {

// A radio button whose group the window keeps: a click checks it (never
// unchecks it), and the window can clear every button of a group, which Qt's
// own exclusive groups do not allow.
class TRadioButton : public QRadioButton {
public:
    TRadioButton(const QString& text, QWidget* parent)
        : QRadioButton(text, parent)
    {
        setAutoExclusive(false);
    }

protected:
    void nextCheckState() override { setChecked(true); }
    // Its caption is drawn in the background, so the whole rectangle the skin
    // gives it answers a click, not only the round mark.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A check box whose caption the background draws: its whole rectangle answers a click.
class TCheckBox : public QCheckBox {
public:
    explicit TCheckBox(QWidget* parent)
        : QCheckBox(parent)
    {
    }

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

struct ImageButtonKey {
    const char* key;
    int id;
    const char* picture;
    const char* text;
};

// In the order they are made.
constexpr ImageButtonKey imageButtons[] = {
    {"convert", control::startConversion, "convertbutton.jpg", "Start to Convert"},
    {"checklog", control::checkLog, "checklogbutton.jpg", "Check Log"},
    {"help", control::help, "helpbutton.jpg", "Help"},
    {"about", control::about, "aboutbutton.jpg", "About"},
    {"exit", control::exitButton, "exitbutton.jpg", "Exit"},
    {"inputplay", control::inputPlay, "inputplaybutton.jpg", "Play"},
    {"outputplay", control::outputPlay, "outputplaybutton.jpg", "Play"},
    {"openfile", control::openInput, "openfilebutton.jpg", "Open AVI File"},
    {"rename", control::chooseOutput, "renamebutton.jpg", "Rename Output Filename"},
    {"home", control::homePage, "homebutton.jpg", "Visit Home Page"},
};

// The stop button beside each play button: same id, same place, made hidden.
const char* StopPicture(int id)
{
    if (id == control::inputPlay) {
        return "inputstopbutton.jpg";
    }
    return id == control::outputPlay ? "outputstopbutton.jpg" : nullptr;
}

struct PlacedControl {
    const char* key;
    int id;
};

// In the order they are placed.
constexpr PlacedControl placedControls[] = {
    {"VCDRadio", control::vcdRadio},
    {"DVDRadio", control::dvdRadio},
    {"SVCDRadio", control::svcdRadio},
    {"InputFileNameField", control::inputList},
    {"OutputFileNameField", control::outputName},
    {"MpegWidthField", control::widthEdit},
    {"MpegHeightField", control::heightEdit},
    {"NTSCRadio", control::ntscRadio},
    {"PALRadio", control::palRadio},
    {"FillInRadio", control::fillRadio},
    {"PROPORTIONALRadio", control::proportionalRadio},
    {"ShutdownCheck", control::shutdownCheck},
    {"InvertCheck", control::invertCheck},
    {"SplitCheck", control::splitCheck},
    {"MAXLENField", control::maxSizeEdit},
};

constexpr std::array formatRadios{control::vcdRadio, control::dvdRadio, control::svcdRadio};
constexpr std::array standardRadios{control::ntscRadio, control::palRadio};
constexpr std::array fittingRadios{control::proportionalRadio, control::fillRadio};
constexpr std::array shapeRadios{
    control::shapeAutoRadio, control::shapeFourByThreeRadio, control::shapeSixteenByNineRadio};

std::span<const int> RadioGroupOf(int id)
{
    const std::span<const int> formats = formatRadios;
    const std::span<const int> standards = standardRadios;
    const std::span<const int> fittings = fittingRadios;
    const std::span<const int> shapes = shapeRadios;
    if (std::find(shapeRadios.begin(), shapeRadios.end(), id) != shapeRadios.end()) {
        return shapes;
    }
    if (id == control::ntscRadio || id == control::palRadio) {
        return standards;
    }
    if (id == control::proportionalRadio || id == control::fillRadio) {
        return fittings;
    }
    return formats;
}

QRect RectOf(const LayoutRect& rect) { return QRect(rect.left, rect.top, rect.width, rect.height); }

} // namespace

void TMainWindow::MakeControls()
{
    inputList_ = new QListWidget(this);
    inputList_->setObjectName(QStringLiteral("inputList"));
    inputList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    inputList_->viewport()->installEventFilter(this);
    controls_.Add(control::inputList, inputList_);
    connect(inputList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!listUpdating_ && row >= 0) {
            Dispatch(msg::command, notify::selectionChange, control::inputList);
        }
    });

    const auto addEdit = [this](int id, const char* name, bool sizeField) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        if (sizeField) {
            // They show the target's picture size; typing into them is not offered.
            edit->setReadOnly(true);
            edit->setAlignment(Qt::AlignCenter);
        }
        edit->installEventFilter(this);
        controls_.Add(id, edit);
    };
    addEdit(control::outputName, "outputName", false);
    addEdit(control::widthEdit, "widthField", true);
    addEdit(control::heightEdit, "heightField", true);
    addEdit(control::maxSizeEdit, "maxSizeField", false);

    const auto addButton = [this](int id, QAbstractButton* button, const char* name) {
        button->setObjectName(QLatin1String(name));
        controls_.Add(id, button);
        connect(button, &QAbstractButton::clicked, this, [this, id] { Dispatch(msg::command, notify::clicked, id); });
    };
    // The skin draws the captions of the radio buttons and check boxes beside
    // them; the texts stay for screen readers.
    const auto addRadio = [&](int id, const char* text, const char* name) {
        auto* radio = new TRadioButton(QString(), this);
        radio->setAccessibleName(QString::fromUtf8(text));
        // A click checks one button of its group and clears the others, before its command runs.
        connect(radio, &QAbstractButton::clicked, this, [this, id] {
            for (const int sibling : RadioGroupOf(id)) {
                if (sibling != id) {
                    controls_.SetChecked(sibling, false);
                }
            }
        });
        addButton(id, radio, name);
    };
    addRadio(control::vcdRadio, "AVI to VCD", "vcdRadio");
    addRadio(control::dvdRadio, "AVI to DVD", "dvdRadio");
    addRadio(control::svcdRadio, "AVI to SVCD", "svcdRadio");
    addRadio(control::ntscRadio, "NTSC", "ntscRadio");
    addRadio(control::palRadio, "PAL", "palRadio");
    addRadio(control::proportionalRadio, "Proportional", "proportionalRadio");
    addRadio(control::fillRadio, "Fill in", "fillRadio");
    addRadio(control::shapeAutoRadio, "Shape chosen from the source", "shapeAutoRadio");
    addRadio(control::shapeFourByThreeRadio, "Shape 4:3", "shapeFourByThreeRadio");
    addRadio(control::shapeSixteenByNineRadio, "Shape 16:9", "shapeSixteenByNineRadio");
    // Shown only where the skin places them.
    for (const int id : shapeRadios) {
        controls_.Find(id)->hide();
    }
    const auto addCheck = [&](int id, const char* text, const char* name) {
        auto* check = new TCheckBox(this);
        check->setAccessibleName(QString::fromUtf8(text));
        addButton(id, check, name);
    };
    addCheck(control::invertCheck, "Invert", "invertCheck");
    addCheck(control::splitCheck, "Split output", "splitCheck");
    addCheck(control::shutdownCheck, "Shut down PC when done", "shutdownCheck");
    addCheck(control::discCheck, "Make a disc after converting", "discCheck");
    // Shown only where the skin places it.
    controls_.Find(control::discCheck)->hide();
    MakeDiscSizeControls();

    // The position bars stay hidden unless the skin places them.
    for (const int id : {control::inputPosition, control::outputPosition}) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(
            id == control::inputPosition ? QStringLiteral("inputPositionBar") : QStringLiteral("outputPositionBar"));
        bar->hide();
        controls_.Add(id, bar);
        // A drag shows the frames it passes and counts when it ends; a click on
        // an arrow or the trough, a key or the wheel moves the bar at once. The
        // program's own moves are silent.
        const auto report = [this, id](int code) {
            MessageArgs args;
            args.value = code;
            args.control = id;
            Dispatch(msg::horizontalScroll, 0, 0, args);
        };
        bar->setFocusPolicy(Qt::StrongFocus);
        connect(bar, &QScrollBar::sliderReleased, this, [report] { report(scroll::endScroll); });
        // While the thumb is held the value follows it (tracking), after it has moved.
        connect(bar, &QScrollBar::valueChanged, this,
            [bar, report] { report(bar->isSliderDown() ? scroll::thumbTrack : scroll::endScroll); });
    }
}

void TMainWindow::ShowLayoutFileMissing()
{
    ShowMessage(services_.messages, FormatText(message::cannotOpenLayout, layoutFileName), message::initialUiCaption);
}

void TMainWindow::RefuseLayout(const std::string& key)
{
    // The first key missing is named; the window closes, as it cannot be laid out.
    if (!layoutRefused_) {
        layoutRefused_ = true;
        ShowMessage(services_.messages, FormatText(message::layoutKeyMissing, layoutFileName, key.c_str()),
            message::initialUiCaption);
    }
    PostCloseRequest();
}

void TMainWindow::LoadSkinButtons()
{
    const std::optional<std::string> text = ReadLayoutFile(SkinFile(services_.workingDirectory, layoutFileName));
    if (!text) {
        layoutMissing_ = true;
        ShowLayoutFileMissing();
        PostCloseRequest();
        return;
    }
    layoutText_ = *text;
    // One rectangle for every key: a value with fewer numbers keeps the rest.
    LayoutRect rect;
    for (const ImageButtonKey& button : imageButtons) {
        if (!ReadLayoutRect(layoutText_, button.key, rect)) {
            RefuseLayout(button.key);
        }
        AddImageButton(button.id, button.picture, rect, button.text, false);
        if (const char* stop = StopPicture(button.id)) {
            AddImageButton(button.id, stop, rect, "Stop", true);
        }
    }
    // Skins made before the disc controls have no place for its folder button.
    if (ReadLayoutRect(layoutText_, "discfolder", rect)) {
        AddImageButton(control::chooseDiscFolder, "discfolderbutton.jpg", rect, "Choose the disc folder", false);
    }
    if (!ReadLayoutRect(layoutText_, "InputPreviewBox", rect)) {
        RefuseLayout("InputPreviewBox");
    }
    inputPreviewRect_ = RectOf(rect);
    inputPreviewBase_ = inputPreviewRect_;
    if (!ReadLayoutRect(layoutText_, "OutputPreviewBox", rect)) {
        RefuseLayout("OutputPreviewBox");
    }
    outputPreviewRect_ = RectOf(rect);
    outputPreviewBase_ = outputPreviewRect_;
}

void TMainWindow::AddImageButton(
    int id, const std::string& picture, const LayoutRect& rect, const char* text, bool hidden)
{
    auto* button = new TImageButton(id, LoadSkinPicture(SkinFile(services_.workingDirectory, picture)), this);
    button->setObjectName(QStringLiteral("button%1%2").arg(id).arg(hidden ? "stop" : ""));
    button->setText(QString::fromUtf8(text));
    button->setToolTip(button->text());
    button->setAccessibleName(button->text());
    button->setGeometry(RectOf(rect));
    button->SetFaceSize(QSize(rect.width, rect.height));
    button->setVisible(!hidden);
    if (hidden) {
        controls_.AddStopButton(id, button);
    } else {
        controls_.Add(id, button);
    }
    connect(button, &QAbstractButton::clicked, this, [this, id] { Dispatch(msg::command, notify::clicked, id); });
}

void TMainWindow::PlaceControls()
{
    if (layoutMissing_) {
        return;
    }
    LayoutRect rect;
    if (!ReadLayoutRect(layoutText_, "MainSize", rect)) {
        RefuseLayout("MainSize");
    }
    SizeWindow(QSize(rect.left, rect.top));
    for (const PlacedControl& placed : placedControls) {
        if (!ReadLayoutRect(layoutText_, placed.key, rect)) {
            RefuseLayout(placed.key);
        }
        for (QWidget* widget : controls_.All(placed.id)) {
            widget->setGeometry(RectOf(rect));
        }
    }
    PlacePositionBars();
    PlaceDiscControls();
    KeepBasePlaces();
    FollowGrowth();
    OrderTabStops();
    if (QWidget* split = controls_.Find(control::splitCheck)) {
        split->setFocus();
    }
}

void TMainWindow::EvEraseBackground(const MessageArgs& args)
{
    QPainter& painter = *args.painter;
    DrawBackground(painter);
    if (core_->Inputs().inputCount == 0 || core_->Preview().previewPlaying()) {
        DrawPlaceholder(painter, inputPreviewRect_, inputPlaceholder_);
        DrawPlaceholder(painter, outputPreviewRect_, outputPlaceholder_);
    }
}

void TMainWindow::EvLeftButtonDown(const MessageArgs& args)
{
    if (!frame_ || StartResizeAt(args.point)) {
        return;
    }
    QWindow* window = frame_->windowHandle();
    if (window != nullptr && window->startSystemMove()) {
        return;
    }
    // Without a window manager that moves it, the window follows the mouse itself.
    dragging_ = true;
    dragOffset_ = mapTo(frame_.data(), args.point);
}

} // namespace discforge::ui
