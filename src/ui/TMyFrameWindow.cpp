#include "ui/TMyFrameWindow.h"

#include "app/FrameProfile.h"
#include "ui/TMainWindow.h"

#include <QCloseEvent>
#include <QResizeEvent>

namespace discforge::ui {

TMyFrameWindow::TMyFrameWindow(const QString& caption, ProfileStore& profile)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , profile_(profile)
{
    setObjectName(QStringLiteral("frameWindow"));
    setWindowTitle(caption);
    const FrameProfile place = ReadFrameProfile(profile_);
    move(place.left, place.top);
    editFilters_ = place.editFilters;
}

void TMyFrameWindow::SetClient(TMainWindow* client)
{
    client_ = client;
    client_->move(0, 0);
    client_->Core().SetEditFilters(editFilters_);
    const DiscProfile disc = ReadDiscProfile(profile_);
    client_->Core().SetDiscAfterConverting(disc.afterConverting, disc.folder);
    client_->Core().KeepDecoderOptionsIn(profile_);
}

bool TMyFrameWindow::CanClose()
{
    if (client_ != nullptr && !client_->Core().QueryClose()) {
        return false;
    }
    const bool batchMode = client_ == nullptr || client_->Core().Settings().batchMode;
    const bool editFilters = client_ != nullptr && client_->Core().Settings().editFilters;
    WriteFrameProfile(profile_, x(), y(), batchMode, editFilters);
    if (client_ != nullptr) {
        const ConversionSettings& settings = client_->Core().Settings();
        WriteDiscProfile(profile_, {settings.discAfterConverting, settings.discFolder});
    }
    return true;
}

void TMyFrameWindow::closeEvent(QCloseEvent* event)
{
    if (CanClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TMyFrameWindow::changeEvent(QEvent* event)
{
    // While the encoder runs, its own progress window takes the focus.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && client_ != nullptr) {
        client_->Core().ForwardFocusToEncoder();
    }
    QWidget::changeEvent(event);
}

void TMyFrameWindow::resizeEvent(QResizeEvent* event)
{
    // The hosted window fills the frame.
    if (client_ != nullptr) {
        client_->resize(event->size());
    }
    QWidget::resizeEvent(event);
}

} // namespace discforge::ui
