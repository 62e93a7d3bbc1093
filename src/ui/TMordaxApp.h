// The application: makes the frame and the converter window, starts the
// converter window and runs the event loop. Destroying it closes the window,
// which shuts the encoder down and writes the run log.
#pragma once

#include "ui/TMainWindow.h"

#include <memory>

namespace discforge {
class ProfileStore;
}

namespace discforge::ui {

class TMyFrameWindow;

struct AppServices {
    WindowServices window;
    ProfileStore& profile;
};

class TMordaxApp {
public:
    explicit TMordaxApp(AppServices services);
    ~TMordaxApp();
    TMordaxApp(const TMordaxApp&) = delete;
    TMordaxApp& operator=(const TMordaxApp&) = delete;

    // The frame, captioned with the title and version, hosting the converter window.
    void InitMainWindow();
    // Shows the frame and sets the converter window up.
    void Start();
    // Start, then the event loop until the window has closed; its exit code.
    int Run();

    TMyFrameWindow* Frame() const { return frame_.get(); }
    TMainWindow* MainWindow() const;

private:
    AppServices services_;
    std::unique_ptr<TMyFrameWindow> frame_;
};

} // namespace discforge::ui
