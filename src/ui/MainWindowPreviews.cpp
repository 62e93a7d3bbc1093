// The main window's side of the previews: the panels' pixels on the screen,
// the position bars, the play buttons and the preview commands. What a
// preview shows is decided by the core (Previews).
#include "ui/TMainWindow.h"

#include "app/PreviewMessages.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "picture/TPreviewDib.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>

namespace discforge::ui {
namespace {

PanelRect PanelRectOf(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The panel's rows are stored bottom row first, blue-green-red.
void DrawPanel(QPainter& painter, const TPreviewDib& panel)
{
    const QImage rows(panel.Pixels(), panel.Width(), panel.Height(), panel.Stride(), QImage::Format_BGR888);
    const PanelRect& rect = panel.Rect();
    painter.drawImage(QPoint(rect.left, rect.top), rows.mirrored(false, true));
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

void TMainWindow::PaintPanelRows(const TPreviewDib& panel, int firstRow, int rowCount)
{
    const PanelRect& rect = panel.Rect();
    const int top = panel.WindowLineOf(firstRow + rowCount - 1);
    update(QRect(rect.left, top, rect.Width(), rowCount));
}

void TMainWindow::EvPaint(const MessageArgs& args)
{
    // While a preview plays its rows are drawn over the placeholders as they come.
    if (core_->Inputs().inputCount == 0) {
        return;
    }
    const Previews& previews = core_->PreviewPictures();
    for (const TPreviewDib* panel : {previews.InputPanel(), previews.OutputPanel()}) {
        if (panel != nullptr) {
            DrawPanel(*args.painter, *panel);
        }
    }
}

void TMainWindow::EvHorizontalScroll(const MessageArgs& args)
{
    if (args.value != scroll::endScroll) {
        return;
    }
    const int position = controls_.ScrollPosition(args.control);
    if (args.control == control::inputPosition) {
        core_->InputPositionChosen(position);
    } else if (args.control == control::outputPosition) {
        core_->OutputPositionChosen(position);
    }
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
