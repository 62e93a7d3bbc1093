#include "FrontEnd.h"

#include "EncoderMessages.h"
#include "ProgressWindow.h"
#include "TerminalProgress.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace discforge::convert {
namespace {

// Widgets are only usable inside a QApplication, and only on its thread.
bool WidgetsUsable()
{
    const auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    return application != nullptr && QThread::currentThread() == application->thread();
}

// Removes the view from the front end when the encode ends.
class TrackedProgress : public ProgressView {
public:
    TrackedProgress(std::unique_ptr<ProgressView> view, ProgressView*& current)
        : view_(std::move(view)), current_(current)
    {
        current_ = view_.get();
    }
    ~TrackedProgress() override { current_ = nullptr; }
    void Show(const ProgressReport& report) override { view_->Show(report); }
    bool CancelRequested() const override { return view_->CancelRequested(); }
    void Raise() override { view_->Raise(); }

private:
    std::unique_ptr<ProgressView> view_;
    ProgressView*& current_;
};

} // namespace

struct FrontEnd::Windows {
    QPointer<QWidget> owner;
};

FrontEnd::FrontEnd() : windows_(std::make_unique<Windows>()) {}

FrontEnd::~FrontEnd() = default;

void FrontEnd::SetOwnerWindow(void* window)
{
    windows_->owner = WidgetsUsable() ? static_cast<QWidget*>(window) : nullptr;
}

std::unique_ptr<ProgressView> FrontEnd::OpenProgress(const std::string& outputName)
{
    std::unique_ptr<ProgressView> view;
    if (WidgetsUsable()) {
        view = std::make_unique<WindowProgress>(windows_->owner.data(), outputName);
    } else if (::isatty(STDERR_FILENO) == 1) {
        view = std::make_unique<TerminalProgress>(outputName);
    } else {
        view = std::make_unique<SilentProgress>();
    }
    return std::make_unique<TrackedProgress>(std::move(view), current_);
}

void FrontEnd::RaiseProgress()
{
    if (current_ != nullptr) {
        current_->Raise();
    }
}

void FrontEnd::TellFailure(const std::string& outputName, const std::string& cause)
{
    const std::string text = message::Substitute(message::failure, {outputName, cause});
    if (WidgetsUsable()) {
        QMessageBox box(QMessageBox::Warning, QString::fromUtf8(message::failureTitle), QString::fromStdString(text),
                        QMessageBox::Ok, windows_->owner.data());
        box.exec();
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace discforge::convert
