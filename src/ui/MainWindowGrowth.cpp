// The window that grows with a skin that says how: its starting size on the
// screen, the controls and preview boxes following the window's size, the
// background drawn to match, and resizing the frameless window from its edges
// and its corner grip.
#include "ui/TMainWindow.h"

#include "picture/TPreviewDib.h"
#include "ui/TImageButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QSizeGrip>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace discforge::ui {
namespace {

// How close to an edge a press resizes the window rather than moving it.
constexpr int edgeReach = 6;
// How long the size must stay put before the preview panels are made anew.
constexpr int panelFitDelay = 200;

Qt::CursorShape CursorOf(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

void TMainWindow::SizeWindow(QSize base)
{
    growth_ = SkinGrowth::Read(layoutText_, base);
    move(0, 0);
    if (!growth_) {
        // The window has no border of its own: its client size is the window's.
        setFixedSize(base);
        if (frame_) {
            frame_->setFixedSize(base);
        }
        return;
    }
    QSize start = base;
    const QScreen* screen = frame_ && frame_->screen() ? frame_->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        start = growth_->FittedInto(screen->availableGeometry().size());
    }
    setMinimumSize(growth_->Smallest());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (frame_) {
        frame_->setMinimumSize(growth_->Smallest());
        frame_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        frame_->resize(start);
        if (screen != nullptr && !screen->availableGeometry().contains(frame_->geometry())) {
            // A place kept from a larger screen would leave part of the window off this one.
            const QRect room = screen->availableGeometry();
            frame_->move(std::clamp(frame_->x(), room.left(), std::max(room.left(), room.right() - start.width())),
                std::clamp(frame_->y(), room.top(), std::max(room.top(), room.bottom() - start.height())));
        }
    }
    resize(start);
    setMouseTracking(true);
    if (sizeGrip_ == nullptr) {
        sizeGrip_ = new QSizeGrip(this);
        sizeGrip_->setObjectName(QStringLiteral("sizeGrip"));
        sizeGrip_->setAccessibleName(tr("Resize the window"));
    }
    sizeGrip_->show();
    if (panelFit_ == nullptr) {
        panelFit_ = new QTimer(this);
        panelFit_->setSingleShot(true);
        panelFit_->setInterval(panelFitDelay);
        connect(panelFit_, &QTimer::timeout, this, [this] { FitPanelsToBoxes(); });
    }
}

void TMainWindow::KeepBasePlaces()
{
    basePlaces_.clear();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || child == sizeGrip_) {
            continue;
        }
        auto* button = dynamic_cast<TImageButton*>(child);
        basePlaces_.push_back({child, child->geometry(), button != nullptr});
    }
}

void TMainWindow::FollowGrowth()
{
    if (!growth_) {
        return;
    }
    const QSize client = size();
    for (const BasePlace& place : basePlaces_) {
        if (place.widget) {
            place.widget->setGeometry(
                place.keepsSize ? growth_->Move(place.rect, client) : growth_->Place(place.rect, client));
        }
    }
    inputPreviewRect_ = growth_->Place(inputPreviewBase_, client);
    outputPreviewRect_ = growth_->Place(outputPreviewBase_, client);
    if (panelFit_ != nullptr) {
        panelFit_->start();
    }
    if (sizeGrip_ != nullptr) {
        const QSize grip = sizeGrip_->sizeHint();
        sizeGrip_->setGeometry(QRect(QPoint(width() - grip.width(), height() - grip.height()), grip));
        sizeGrip_->raise();
    }
    update();
}

void TMainWindow::FitPanelsToBoxes()
{
    const TPreviewDib* input = core_->PreviewPictures().InputPanel();
    const TPreviewDib* output = core_->PreviewPictures().OutputPanel();
    if (tornDown_ || input == nullptr || output == nullptr) {
        return;
    }
    const auto fits = [](const TPreviewDib& panel, const QRect& box) {
        return panel.Width() == box.width() && panel.Height() == box.height();
    };
    if (fits(*input, inputPreviewRect_) && fits(*output, outputPreviewRect_)) {
        return;
    }
    if (core_->IsConverting() || core_->Preview().previewPlaying() || followingDrag_) {
        panelFit_->start();
        return;
    }
    if (!CreatePreviewPictures()) {
        return;
    }
    if (core_->Inputs().inputCount > 0) {
        core_->RenderInputPreview();
        core_->RenderOutputPreview();
    }
    update();
}

void TMainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FollowGrowth();
}

Qt::Edges TMainWindow::ResizeEdgesAt(const QPoint& point) const
{
    Qt::Edges edges;
    if (!growth_ || (frame_ && frame_->isMaximized())) {
        return edges;
    }
    if (point.x() < edgeReach) {
        edges |= Qt::LeftEdge;
    } else if (point.x() >= width() - edgeReach) {
        edges |= Qt::RightEdge;
    }
    if (point.y() < edgeReach) {
        edges |= Qt::TopEdge;
    } else if (point.y() >= height() - edgeReach) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

bool TMainWindow::StartResizeAt(const QPoint& point)
{
    const Qt::Edges edges = ResizeEdgesAt(point);
    QWindow* window = frame_ ? frame_->windowHandle() : nullptr;
    return edges != Qt::Edges() && window != nullptr && window->startSystemResize(edges);
}

void TMainWindow::ShowResizeCursorAt(const QPoint& point)
{
    const Qt::Edges edges = ResizeEdgesAt(point);
    if (edges == Qt::Edges()) {
        unsetCursor();
    } else {
        setCursor(CursorOf(edges));
    }
}

void TMainWindow::DrawPlaceholder(QPainter& painter, const QRect& box, const QImage& placeholder) const
{
    if (!growth_ || placeholder.isNull()) {
        painter.drawImage(box, placeholder);
        return;
    }
    // A box that has grown out of the placeholder's shape shows it undistorted,
    // on the colour of its corner.
    painter.fillRect(box, placeholder.pixelColor(0, 0));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(FittedRect(placeholder.size(), box), placeholder);
}

void TMainWindow::DrawBackground(QPainter& painter) const
{
    if (background_.isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    if (!growth_) {
        painter.drawImage(rect(), background_);
        return;
    }
    // The picture may be drawn at another size than the layout's numbers (a skin at twice the size).
    const double across = static_cast<double>(background_.width()) / growth_->Base().width();
    const double down = static_cast<double>(background_.height()) / growth_->Base().height();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const SkinCell& cell : growth_->BackgroundCells(size())) {
        const QRectF from(
            cell.from.x() * across, cell.from.y() * down, cell.from.width() * across, cell.from.height() * down);
        painter.drawImage(QRectF(cell.to), background_, from);
    }
}

} // namespace discforge::ui
