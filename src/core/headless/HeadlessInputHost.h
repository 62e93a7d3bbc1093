// The input operations' host for runs without a window: the input list kept as
// lines in memory, the window's state remembered, progress windows that record
// their texts, posted Remove commands counted.
#pragma once

#include "ports/InputHost.h"

#include <deque>
#include <string>
#include <vector>

namespace discforge {

// What one progress window was told.
struct CancelDialogRecord {
    bool windowCreated = false;
    std::string caption;
    std::string upperText;
    std::vector<std::string> statuses;
    int closeCount = 0;
    bool destroyed = false;
};

class HeadlessCancelDialog final : public TCancelDialog {
public:
    HeadlessCancelDialog(bool& cancelRequested, CancelDialogRecord& record, bool canCreate)
        : TCancelDialog(cancelRequested)
        , record_(record)
        , canCreate_(canCreate)
    {
    }
    ~HeadlessCancelDialog() override { record_.destroyed = true; }
    bool Create() override { return record_.windowCreated = canCreate_; }
    void SetCaption(const std::string& text) override { record_.caption = text; }
    void SetUpperText(const std::string& text) override { record_.upperText = text; }
    void SetStatusText(const std::string& text) override { record_.statuses.push_back(text); }
    void Close() override { ++record_.closeCount; }

private:
    CancelDialogRecord& record_;
    bool canCreate_;
};

class HeadlessInputHost final : public InputHost {
public:
    void SetMainWindowEnabled(bool enabled) override { mainWindowEnabled = enabled; }
    void SetWaitCursor(bool shown) override { waitCursor = shown; }
    void DeleteListLine(int index) override;
    void InsertListLine(int index, const std::string& path) override;
    void SelectListLine(int index) override { selectedLine = index; }
    void PostRemoveCommand() override { ++postedRemoves; }
    void RefreshInputControls() override { ++refreshes; }
    std::unique_ptr<TCancelDialog> MakeCancelDialog(bool& cancelRequested) override;

    // Every status line shown by any progress window, in order.
    std::vector<std::string> AllStatuses() const;

    bool mainWindowEnabled = true;
    bool waitCursor = false;
    std::vector<std::string> listBox;
    int selectedLine = -1;
    int postedRemoves = 0;
    int refreshes = 0;
    // False: the progress window's object (or its window) cannot be made.
    bool canMakeDialog = true;
    bool canCreateDialogWindow = true;
    std::deque<CancelDialogRecord> dialogs; // stable addresses for the dialogs that record into them
    HeadlessCancelDialog* lastDialog = nullptr; // valid while its owner keeps it
};

} // namespace discforge
