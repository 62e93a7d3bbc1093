#include "ui/TMordaxApp.h"

#include "core/AppIdentity.h"
#include "ui/TMyFrameWindow.h"

#include <QApplication>

namespace discforge::ui {

TMordaxApp::TMordaxApp(AppServices services)
    : services_(std::move(services))
{
}

TMordaxApp::~TMordaxApp() = default;

void TMordaxApp::InitMainWindow()
{
    const QString caption = QString::fromUtf8(appTitle) + QLatin1String(" - ") + QString::fromUtf8(appVersion);
    frame_ = std::make_unique<TMyFrameWindow>(caption, services_.profile);
    frame_->SetClient(new TMainWindow(services_.window, frame_.get()));
}

TMainWindow* TMordaxApp::MainWindow() const { return frame_ ? frame_->Client() : nullptr; }

void TMordaxApp::Start()
{
    if (!frame_) {
        InitMainWindow();
    }
    frame_->show();
    MainWindow()->SetupWindow();
}

int TMordaxApp::Run()
{
    Start();
    return QApplication::exec();
}

} // namespace discforge::ui
