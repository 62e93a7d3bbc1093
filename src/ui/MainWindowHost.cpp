#include "ui/MainWindowHost.h"

#include "core/ControlIds.h"
#include "ui/QtCancelDialog.h"
#include "ui/TMainWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QListWidget>
#include <QTimer>

#include <chrono>

namespace discforge::ui {

MainWindowHost::~MainWindowHost()
{
    while (waitCursors_ > 0) {
        SetWaitCursor(false);
    }
}

void MainWindowHost::SetMainWindowEnabled(bool enabled)
{
    // The converter window only: the frame also holds the cancel dialog, whose
    // Cancel must stay usable while an open waits.
    window_.setEnabled(enabled);
}

void MainWindowHost::SetWaitCursor(bool shown)
{
    if (shown) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitCursors_;
    } else if (waitCursors_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitCursors_;
    }
}

void MainWindowHost::DeleteListLine(int index)
{
    QListWidget* list = window_.inputList_;
    if (index >= 0 && index < list->count()) {
        window_.listUpdating_ = true;
        delete list->takeItem(index);
        window_.listUpdating_ = false;
    }
}

void MainWindowHost::InsertListLine(int index, const std::string& path)
{
    QListWidget* list = window_.inputList_;
    window_.listUpdating_ = true;
    // The file's name is what the user looks for; the whole path is one hover away.
    const QString whole = QString::fromStdString(path);
    auto* item = new QListWidgetItem(QFileInfo(whole).fileName());
    item->setToolTip(whole);
    list->insertItem(index < 0 ? list->count() : index, item);
    window_.listUpdating_ = false;
}

void MainWindowHost::SelectListLine(int index)
{
    QListWidget* list = window_.inputList_;
    window_.listUpdating_ = true;
    list->setCurrentRow(index);
    if (QListWidgetItem* item = list->item(index)) {
        list->scrollToItem(item);
    }
    window_.listUpdating_ = false;
}

void MainWindowHost::PostRemoveCommand() { window_.PostCommand(command::removeInput); }

void MainWindowHost::RefreshInputControls()
{
    if (window_.core_) {
        window_.core_->RefreshWindow();
    }
    window_.update();
}

std::unique_ptr<TCancelDialog> MainWindowHost::MakeCancelDialog(bool& cancelRequested)
{
    return std::make_unique<QtCancelDialog>(cancelRequested, window_.frame_.data());
}

void MainWindowHost::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::uint32_t MainWindowHost::TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// The thread sleeps in the event loop: waiting for a frame's deadline costs no processor time.
void MainWindowHost::PumpMessagesUntil(std::uint32_t deadline)
{
    PumpMessages();
    for (;;) {
        const auto remaining = static_cast<std::int32_t>(deadline - TickCount());
        if (remaining <= 0) {
            return;
        }
        QEventLoop loop;
        bool woken = false;
        QTimer::singleShot(remaining, Qt::PreciseTimer, &loop, [&] {
            woken = true;
            loop.quit();
        });
        loop.exec();
        if (!woken) {
            return; // the application is leaving its event loops
        }
    }
}

void MainWindowHost::PostCloseRequest() { window_.PostCloseRequest(); }

void* MainWindowHost::NativeHandle() { return window_.frame_.data(); }

} // namespace discforge::ui
