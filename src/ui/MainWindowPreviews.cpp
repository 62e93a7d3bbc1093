// The main window's side of the previews: the panels' pixels on the screen,
// the position bars, the play buttons and the preview commands. What a
// preview shows is decided by the core (Previews).
#include "ui/TMainWindow.h"

#include "app/PreviewMessages.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "picture/TPreviewDib.h"
#include "ui/SkinGrowth.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>

namespace discforge::ui {
namespace {

PanelRect PanelRectOf(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The panel's rows are stored bottom row first, blue-green-red. The picture it
// holds (reduced by whole steps to fit the panel) is drawn as large as `box`
// allows at the picture's shape, centred on black; an empty panel is black.
void DrawPanel(QPainter& painter, const TPreviewDib& panel, const QRect& box)
{
    const QImage rows(panel.Pixels(), panel.Width(), panel.Height(), panel.Stride(), QImage::Format_BGR888);
    const QImage picture = rows.mirrored(false, true);
    const PanelFit& shown = panel.Shown();
    painter.fillRect(box, Qt::black);
    if (shown.shownWidth <= 0 || shown.shownHeight <= 0) {
        return;
    }
    const QRect from(shown.horizontalOffset, panel.Height() - shown.verticalOffset - shown.shownHeight,
        shown.shownWidth, shown.shownHeight);
    const QRect to = FittedRect(from.size(), box);
    if (to.size() == from.size()) {
        painter.drawImage(to.topLeft(), picture, from);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(to, picture, from);
    }
}

} // namespace

bool TMainWindow::CreatePreviewPictures()
{
    if (core_->CreatePreviewPictures(this, PanelRectOf(inputPreviewRect_), this, PanelRectOf(outputPreviewRect_))) {
        return true;
    }
    ShowMessage(services_.messages, preview_message::cannotInitialize, preview_message::startupCaption);
    PostCloseRequest();
    return false;
}

void TMainWindow::PaintPanelRows(const TPreviewDib& panel, int, int)
{
    // The rows are drawn scaled into the box: the whole box is drawn again.
    update(&panel == core_->PreviewPictures().InputPanel() ? inputPreviewRect_ : outputPreviewRect_);
}

void TMainWindow::EvPaint(const MessageArgs& args)
{
    // While a preview plays its rows are drawn over the placeholders as they come.
    if (core_->Inputs().inputCount == 0) {
        return;
    }
    const Previews& previews = core_->PreviewPictures();
    if (const TPreviewDib* panel = previews.InputPanel()) {
        DrawPanel(*args.painter, *panel, inputPreviewRect_);
    }
    if (const TPreviewDib* panel = previews.OutputPanel()) {
        DrawPanel(*args.painter, *panel, outputPreviewRect_);
    }
}

void TMainWindow::EvHorizontalScroll(const MessageArgs& args)
{
    if (args.value == scroll::thumbTrack) {
        FollowDrag(args.control);
        return;
    }
    if (args.value != scroll::endScroll) {
        return;
    }
    ShowPosition(args.control, controls_.ScrollPosition(args.control));
}

void TMainWindow::ShowPosition(int bar, int position)
{
    if (bar == control::inputPosition) {
        core_->InputPositionChosen(position);
    } else if (bar == control::outputPosition) {
        core_->OutputPositionChosen(position);
    }
}

void TMainWindow::FollowDrag(int bar)
{
    // A frame takes as long as it takes to decode: moves that come while one
    // is fetched (its waits let events in) are not rendered one by one; once it
    // is shown, the frame where the thumb is now follows, until it stays put.
    if (followingDrag_) {
        return;
    }
    followingDrag_ = true;
    int shown = controls_.ScrollPosition(bar);
    ShowPosition(bar, shown);
    while (!tornDown_ && controls_.ScrollPosition(bar) != shown) {
        shown = controls_.ScrollPosition(bar);
        ShowPosition(bar, shown);
    }
    followingDrag_ = false;
}

void TMainWindow::PlacePositionBars()
{
    struct Bar {
        const char* key;
        int id;
    };
    for (const Bar& bar :
        {Bar{"InputPositionBar", control::inputPosition}, Bar{"OutputPositionBar", control::outputPosition}}) {
        LayoutRect rect;
        QWidget* widget = controls_.Find(bar.id);
        // A skin without the key keeps its bar hidden.
        if (widget != nullptr && ReadLayoutRect(layoutText_, bar.key, rect)) {
            widget->setGeometry(QRect(rect.left, rect.top, rect.width, rect.height));
            widget->show();
        }
    }
}

void TMainWindow::CmRenderInputPreview(const MessageArgs&) { core_->RenderInputPreview(); }

void TMainWindow::CmRenderOutputPreview(const MessageArgs&) { core_->RenderOutputPreview(); }

void TMainWindow::CmPlayInput(const MessageArgs&) { core_->PlayInput(); }

void TMainWindow::CmPlayOutput(const MessageArgs&) { core_->PlayOutput(); }

} // namespace discforge::ui
