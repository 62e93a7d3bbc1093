#include "ui/TMainWindow.h"

#include "app/EncoderCallbacks.h"
#include "core/ControlIds.h"
#include "ui/ControlNames.h"
#include "ui/FileChooser.h"
#include "ui/MainWindowHost.h"
#include "ui/SkinPalette.h"
#include "ui/SkinPicture.h"
#include "ui/TImageButton.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <string>
#include <utility>
#include <vector>

namespace discforge::ui {

TMainWindow::TMainWindow(WindowServices services, QWidget* frame)
    : QWidget(frame)
    , services_(std::move(services))
    , paths_(MakeAppPaths(services_.workingDirectory))
    , frame_(frame)
    , host_(std::make_unique<MainWindowHost>(*this))
{
    setObjectName(QStringLiteral("mainWindow"));
    setAcceptDrops(true);
    core_ = std::make_unique<AppCore>(AppPorts{
        services_.messages, *host_, controls_, *host_, services_.power, services_.shell, services_.filterDialog});
    MakeControls();
    MakeShortcuts();
    LoadSkinButtons();
    NameUncaptionedControls(*this);
}

TMainWindow::~TMainWindow()
{
    tornDown_ = true;
    // Focus changes while the widgets go must not reach the core any more.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->removeEventFilter(this);
    }
    core_->Teardown();
}

void TMainWindow::SetupWindow()
{
    listUpdating_ = true;
    inputList_->clear();
    listUpdating_ = false;
    controls_.SetText(control::outputName, "");
    background_ = LoadSkinPicture(paths_.skinImagePath[0]);
    setPalette(SkinPalette(background_, palette()));
    inputPlaceholder_ = LoadSkinPicture(paths_.skinImagePath[1]);
    outputPlaceholder_ = LoadSkinPicture(paths_.skinImagePath[2]);
    if (!CreatePreviewPictures()) {
        return;
    }
    if (!core_->Start(services_.libraryName, {SupplyVideoFrame, SupplyAudio})) {
        return;
    }
    core_->RefreshWindow();
    PlaceControls();
    SetFrameTopmost(true);
    StartTimer(timer::endTopmost, 2000);
    StartTimer(timer::startTips, 500);
}

bool TMainWindow::Dispatch(unsigned message, unsigned notification, int id, const MessageArgs& args)
{
    if (tornDown_) {
        return false;
    }
    const ResponseEntry<TMainWindow>* entry = FindResponse(ResponseTable(), message, notification, id);
    if (entry == nullptr) {
        return false;
    }
    (this->*entry->handler)(args);
    if (message == msg::command) {
        AfterCommand();
    }
    return true;
}

void TMainWindow::AfterCommand()
{
    SyncListSelection();
    // The previews (or their placeholders) show the new state shortly.
    StartTimer(timer::repaintPreviews, 50);
}

void TMainWindow::PostCommand(int id, unsigned notification)
{
    QMetaObject::invokeMethod(
        this, [this, id, notification] { Dispatch(msg::command, notification, id); }, Qt::QueuedConnection);
}

void TMainWindow::PostCloseRequest()
{
    if (frame_) {
        QMetaObject::invokeMethod(frame_.data(), &QWidget::close, Qt::QueuedConnection);
    }
}

void TMainWindow::StartTimer(int id, int milliseconds)
{
    QTimer*& timer = timers_[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, id] {
            MessageArgs args;
            args.value = id;
            Dispatch(msg::timer, 0, 0, args);
        });
    }
    timer->start(milliseconds);
}

bool TMainWindow::TimerRunning(int id) const
{
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

void TMainWindow::SetFrameTopmost(bool topmost)
{
    if (frame_ && frame_->windowHandle() != nullptr) {
        // Through the native window, so the frame is not hidden and shown again.
        frame_->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, topmost);
    }
}

void TMainWindow::SyncListSelection()
{
    const int selected = core_->Inputs().selectedInput;
    if (inputList_->currentRow() != selected) {
        listUpdating_ = true;
        inputList_->setCurrentRow(selected);
        listUpdating_ = false;
    }
}

void TMainWindow::CommitFocusedField()
{
    QWidget* focused = focusWidget();
    const int id = focused != nullptr ? controls_.IdOf(focused) : 0;
    if (id != 0) {
        Dispatch(msg::command, notify::focusLost, id);
    }
}

void TMainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    MessageArgs args;
    args.painter = &painter;
    Dispatch(msg::eraseBackground, 0, 0, args);
    Dispatch(msg::paint, 0, 0, args);
}

void TMainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        MessageArgs args;
        args.point = event->position().toPoint();
        Dispatch(msg::leftButtonDown, 0, 0, args);
    }
    QWidget::mousePressEvent(event);
}

void TMainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && frame_) {
        frame_->move(event->globalPosition().toPoint() - dragOffset_);
    } else if (event->buttons() == Qt::NoButton) {
        ShowResizeCursorAt(event->position().toPoint());
    }
    QWidget::mouseMoveEvent(event);
}

void TMainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void TMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TMainWindow::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(LocalPathBytes(url));
        }
    }
    core_->AddInputs(paths);
    event->acceptProposedAction();
    AfterCommand();
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !tornDown_) {
        const int id = controls_.IdOf(qobject_cast<QWidget*>(watched));
        if (id != 0) {
            Dispatch(msg::command, notify::focusLost, id);
        }
    }
    if (event->type() == QEvent::ContextMenu && watched == inputList_->viewport()) {
        ShowInputMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace discforge::ui
