// What the core asks of the main window: the input list, the wait cursor, the
// cancel dialog, posted commands, and keeping the window alive during long work.
#pragma once

#include "ports/InputHost.h"
#include "ports/WindowPort.h"

namespace discforge::ui {

class TMainWindow;

class MainWindowHost final : public InputHost, public WindowPort {
public:
    explicit MainWindowHost(TMainWindow& window)
        : window_(window)
    {
    }
    ~MainWindowHost() override;

    // InputHost
    void SetMainWindowEnabled(bool enabled) override;
    void SetWaitCursor(bool shown) override;
    void DeleteListLine(int index) override;
    void InsertListLine(int index, const std::string& path) override;
    void SelectListLine(int index) override;
    void PostRemoveCommand() override;
    void RefreshInputControls() override;
    std::unique_ptr<TCancelDialog> MakeCancelDialog(bool& cancelRequested) override;

    // WindowPort
    void PumpMessages() override;
    std::uint32_t TickCount() override;
    void PumpMessagesUntil(std::uint32_t deadline) override;
    void PostCloseRequest() override;
    void* NativeHandle() override;

private:
    TMainWindow& window_;
    int waitCursors_ = 0;
};

} // namespace discforge::ui
