// The input operations' host for runs without a window: no list box, no
// cursor, no progress window; a posted Remove is remembered.
#pragma once

#include "input/InputHost.h"

namespace discforge {

class HeadlessInputHost final : public InputHost {
public:
    void SetMainWindowEnabled(bool) override { }
    void SetWaitCursor(bool) override { }
    void DeleteListLine(int) override { }
    void InsertListLine(int, const std::string&) override { }
    void SelectListLine(int) override { }
    void PostRemoveCommand() override { ++removeRequests_; }
    void RefreshInputControls() override { }
    std::unique_ptr<TCancelDialog> MakeCancelDialog(bool& cancelRequested) override;

    int RemoveRequests() const { return removeRequests_; }

private:
    int removeRequests_ = 0;
};

} // namespace discforge
