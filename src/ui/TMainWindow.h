// The converter window: the skinned surface with the input list, the option
// controls and the image buttons, hosted by the frame window. Every message
// goes through its response table to a handler; the handlers call the core's
// operations, which make the decisions.
#pragma once

#include "app/AppCore.h"
#include "app/AppPaths.h"
#include "picture/PanelPainter.h"
#include "ui/MainWindowControls.h"
#include "ui/ResponseTable.h"
#include "ui/SkinGrowth.h"
#include "ui/SkinLayout.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QListWidget;
class QMenu;
class QSizeGrip;
class QTimer;

namespace discforge {
class FilterDialogPort;
class MessagePort;
class PowerPort;
class ShellPort;
} // namespace discforge

namespace discforge::ui {

class FileChooser;
class MainWindowHost;
class TImageButton;

// What the window works with besides itself.
struct WindowServices {
    MessagePort& messages;
    ShellPort& shell;
    PowerPort& power;
    FilterDialogPort& filterDialog;
    FileChooser& files;
    std::string libraryName; // the encoder library
    std::string workingDirectory; // holds UI/, the guide and the tips
};

// One-shot timers.
namespace timer {
inline constexpr int repaintPreviews = 2;
inline constexpr int endTopmost = 3;
inline constexpr int startTips = 4;
} // namespace timer

class TMainWindow : public QWidget, public PanelPainter {
public:
    // Makes the controls and the skin's image buttons. `frame` hosts the window.
    TMainWindow(WindowServices services, QWidget* frame);
    ~TMainWindow() override;

    // Once the window exists: the core starts (encoder, default settings, run
    // log), the window takes the skin's size and places its controls, the
    // frame stays on top for a moment and the start-up timers run. A failure
    // has been shown and the window asked to close.
    void SetupWindow();

    // Hands a message to the first matching handler; false when none matches.
    bool Dispatch(unsigned message, unsigned notification, int id, const MessageArgs& args = {});
    // Queues a command; it runs once control returns to the event loop.
    void PostCommand(int id, unsigned notification = notify::clicked);
    // Asks the frame to close once control returns to the event loop.
    void PostCloseRequest();
    // Runs a one-shot timer; starting it again restarts it.
    void StartTimer(int id, int milliseconds);
    bool TimerRunning(int id) const;

    AppCore& Core() { return *core_; }
    MainWindowControls& Controls() { return controls_; }
    QListWidget* InputList() const { return inputList_; }
    QRect InputPreviewRect() const { return inputPreviewRect_; }
    QRect OutputPreviewRect() const { return outputPreviewRect_; }
    // Whether the skin says how its layout grows: the window can then be resized.
    bool Resizable() const { return growth_.has_value(); }
    const AppPaths& Paths() const { return paths_; }

    // The response table.
    static std::span<const ResponseEntry<TMainWindow>> ResponseTable();

    // PanelPainter: the rows are drawn with the next paint.
    void PaintPanelRows(const TPreviewDib& panel, int firstRow, int rowCount) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class MainWindowHost;

    // Construction.
    void MakeControls();
    void MakeShortcuts();
    void LoadSkinButtons();
    void AddImageButton(int id, const std::string& picture, const LayoutRect& rect, const char* text, bool hidden);
    // Set-up.
    void PlaceControls();
    void PlacePositionBars();
    void PlaceDiscControls();
    // The shape radios, where the skin places them.
    void PlaceShapeControls();
    // The disc-size choice, its MB field and the meter; see MainWindowDiscSize.
    void MakeDiscSizeControls();
    void PlaceDiscSizeControls();
    // Growing: the size the window starts at, the places the skin gave every
    // control kept once they are placed, and every control moved to its place
    // in a window of the present size.
    void SizeWindow(QSize base);
    void KeepBasePlaces();
    void FollowGrowth();
    // The window edges at `point`, where a press resizes the window; none inside.
    Qt::Edges ResizeEdgesAt(const QPoint& point) const;
    // A press on an edge: the system resizes the frame. False elsewhere.
    bool StartResizeAt(const QPoint& point);
    void ShowResizeCursorAt(const QPoint& point);
    void DrawBackground(QPainter& painter) const;
    // Preview panels as large as their boxes once the window has settled at a
    // new size, so that a grown preview is not a small picture enlarged; put
    // off while a preview plays, a conversion runs or a bar is dragged.
    void FitPanelsToBoxes();
    void DrawPlaceholder(QPainter& painter, const QRect& box, const QImage& placeholder) const;
    // The frame at `position` of a position bar, in its preview.
    void ShowPosition(int bar, int position);
    // A position bar's thumb dragged: its preview follows as fast as frames come.
    void FollowDrag(int bar);
    // Tab goes through the controls group by group, as the skin draws them.
    void OrderTabStops();
    // The disc folder in the tool tips of the disc controls.
    void ShowDiscFolder();
    bool CreatePreviewPictures();
    void SetFrameTopmost(bool topmost);
    void ShowLayoutFileMissing();
    void CommitFocusedField();
    void SyncListSelection();
    void ShowInputMenu(const QPoint& at);
    void AddSoundTrackMenu(QMenu& menu, int index, bool idle);
    void AddDiscMenuChoices(QMenu& menu, int index, bool idle);
    void AddDiscTrackChoices(QMenu& menu, int index, bool idle);
    void AfterCommand();
    // A layout key that is missing or unreadable: named once, then the window closes.
    void RefuseLayout(const std::string& key);

    // Handlers of the response table.
    void EvEraseBackground(const MessageArgs& args);
    void EvPaint(const MessageArgs& args);
    void EvHorizontalScroll(const MessageArgs& args);
    void EvTimer(const MessageArgs& args);
    void EvLeftButtonDown(const MessageArgs& args);
    void CmStartConversion(const MessageArgs&);
    void CmOpenMediaFile(const MessageArgs&);
    void CmAddInput(const MessageArgs&);
    void CmRemoveInput(const MessageArgs&);
    void CmMoveInputUp(const MessageArgs&);
    void CmMoveInputDown(const MessageArgs&);
    void CmAbout(const MessageArgs&);
    void CmExit(const MessageArgs&);
    void CmHelp(const MessageArgs&);
    void CmCheckLog(const MessageArgs&);
    void CmChooseOutputFile(const MessageArgs&);
    void CmSaveProject(const MessageArgs&);
    void CmOpenProject(const MessageArgs&);
    void CmHomePage(const MessageArgs&);
    void CmInvert(const MessageArgs&);
    void CmSplit(const MessageArgs&);
    void CmShutdown(const MessageArgs&);
    void CmProportional(const MessageArgs&);
    void CmFillIn(const MessageArgs&);
    void CmEnterKey(const MessageArgs&);
    void CmStopPlayback(const MessageArgs&);
    void CmStopStream(const MessageArgs&);
    void CmFormatVcd(const MessageArgs&);
    void CmShapeAuto(const MessageArgs&);
    void CmShapeFourByThree(const MessageArgs&);
    void CmShapeSixteenByNine(const MessageArgs&);
    void CmFormatDvd(const MessageArgs&);
    void CmFormatSvcd(const MessageArgs&);
    void CmStandardNtsc(const MessageArgs&);
    void CmStandardPal(const MessageArgs&);
    void CmSelectInput(const MessageArgs& args);
    void CmRenderInputPreview(const MessageArgs&);
    void CmRenderOutputPreview(const MessageArgs&);
    void CmPlayInput(const MessageArgs&);
    void CmPlayOutput(const MessageArgs&);
    void CmWidthFieldLeft(const MessageArgs&);
    void CmHeightFieldLeft(const MessageArgs&);
    void CmMaxSizeFieldLeft(const MessageArgs&);
    void CmDiscSizeChoice(const MessageArgs&);
    void CmDiscSizeFieldLeft(const MessageArgs&);
    void CmOutputNameFieldLeft(const MessageArgs&);
    void CmAuthorDisc(const MessageArgs&);
    void CmDecoderSettings(const MessageArgs&);
    void CmDiscCheck(const MessageArgs&);
    void CmChooseDiscFolder(const MessageArgs&);
    // Commands that do nothing at all: handled, with no effect.
    void CmNothing(const MessageArgs&);

    WindowServices services_;
    AppPaths paths_;
    QPointer<QWidget> frame_;
    MainWindowControls controls_;
    std::unique_ptr<MainWindowHost> host_;
    std::unique_ptr<AppCore> core_;
    QListWidget* inputList_ = nullptr;
    // Skin.
    std::string layoutText_;
    bool layoutMissing_ = false;
    bool layoutRefused_ = false;
    QImage background_;
    QImage inputPlaceholder_;
    QImage outputPlaceholder_;
    QRect inputPreviewRect_;
    QRect outputPreviewRect_;
    // A skin that grows: its rules, the places it gave the controls and the
    // preview boxes, and the grip in the bottom-right corner.
    struct BasePlace {
        QPointer<QWidget> widget;
        QRect rect;
        bool keepsSize = false; // image buttons: their faces do not stretch
    };
    std::optional<SkinGrowth> growth_;
    std::vector<BasePlace> basePlaces_;
    QRect inputPreviewBase_;
    QRect outputPreviewBase_;
    QSizeGrip* sizeGrip_ = nullptr;
    QTimer* panelFit_ = nullptr;
    // Dragging the frame where the system cannot move it for us.
    bool dragging_ = false;
    QPoint dragOffset_;
    std::map<int, QTimer*> timers_;
    bool listUpdating_ = false;
    bool followingDrag_ = false;
    bool tornDown_ = false;
};

} // namespace discforge::ui
