// The encoder's progress window inside a Qt application: a small modeless window over
// the program's window with the output name, the figures and a Cancel button.
#pragma once

#include "ProgressView.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;

namespace discforge::convert {

class ProgressWindow : public QWidget {
public:
    // Object names that let a test or an accessibility tool find the window and its button.
    static constexpr const char* objectNameText = "encodeProgress";
    static constexpr const char* cancelNameText = "cancelButton";

    ProgressWindow(QWidget* owner, const QString& outputName);
    void ShowFigures(const ProgressReport& report);
    bool CancelRequested() const { return cancelRequested_; }

protected:
    // Closing the window asks to stop, like the Cancel button.
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* frames_ = nullptr;
    QLabel* times_ = nullptr;
    QProgressBar* bar_ = nullptr;
    bool cancelRequested_ = false;
};

// The view that drives a ProgressWindow and keeps the application's events flowing.
class WindowProgress : public ProgressView {
public:
    WindowProgress(QWidget* owner, const std::string& outputName);
    ~WindowProgress() override;
    void Show(const ProgressReport& report) override;
    bool CancelRequested() const override;
    void Raise() override;

private:
    QPointer<ProgressWindow> window_;
};

} // namespace discforge::convert
