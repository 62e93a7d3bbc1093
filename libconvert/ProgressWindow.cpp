#include "ProgressWindow.h"

#include "EncoderMessages.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace discforge::convert {
namespace {

QString Text(const char* text, std::initializer_list<std::string> values)
{
    return QString::fromStdString(message::Substitute(text, values));
}

} // namespace

ProgressWindow::ProgressWindow(QWidget* owner, const QString& outputName) : QWidget(owner, Qt::Dialog)
{
    setObjectName(objectNameText);
    setWindowTitle(QString::fromUtf8(message::progressTitle));
    auto* layout = new QVBoxLayout(this);
    auto* file = new QLabel(Text(message::progressFile, {QFileInfo(outputName).fileName().toStdString()}), this);
    file->setToolTip(outputName);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    frames_ = new QLabel(this);
    times_ = new QLabel(this);
    auto* cancel = new QPushButton(QString::fromUtf8(message::cancelButton), this);
    cancel->setObjectName(cancelNameText);
    connect(cancel, &QPushButton::clicked, this, [this] { cancelRequested_ = true; });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    layout->addWidget(file);
    layout->addWidget(bar_);
    layout->addWidget(frames_);
    layout->addWidget(times_);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void ProgressWindow::ShowFigures(const ProgressReport& report)
{
    const ProgressFigures figures = FiguresOf(report);
    bar_->setValue(figures.percent);
    frames_->setText(QString::fromStdString(figures.pass)
        + Text(message::progressFrames,
            {std::to_string(figures.percent), std::to_string(report.picturesDone),
                std::to_string(report.picturesTotal)}));
    times_->setText(Text(message::progressTimes, {QString::number(figures.picturesPerSecond, 'f', 1).toStdString(),
                                                  figures.elapsed, figures.remaining}));
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    cancelRequested_ = true;
    event->ignore();
}

WindowProgress::WindowProgress(QWidget* owner, const std::string& outputName)
    : window_(new ProgressWindow(owner, QString::fromStdString(outputName)))
{
    window_->show();
}

WindowProgress::~WindowProgress() { delete window_.data(); }

void WindowProgress::Show(const ProgressReport& report)
{
    if (window_) {
        window_->ShowFigures(report);
    }
    QCoreApplication::processEvents();
}

// A window that went away with its owner (the program is closing) stops the encode too.
bool WindowProgress::CancelRequested() const { return !window_ || window_->CancelRequested(); }

void WindowProgress::Raise()
{
    if (window_) {
        window_->raise();
        window_->activateWindow();
    }
}

} // namespace discforge::convert
