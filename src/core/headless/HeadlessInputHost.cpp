#include "core/headless/HeadlessInputHost.h"

namespace discforge {

void HeadlessInputHost::DeleteListLine(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < listBox.size()) {
        listBox.erase(listBox.begin() + index);
    }
}

void HeadlessInputHost::InsertListLine(int index, const std::string& path)
{
    const std::size_t at = index < 0 ? listBox.size() : std::min(static_cast<std::size_t>(index), listBox.size());
    listBox.insert(listBox.begin() + static_cast<std::ptrdiff_t>(at), path);
}

std::unique_ptr<TCancelDialog> HeadlessInputHost::MakeCancelDialog(bool& cancelRequested)
{
    if (!canMakeDialog) {
        return nullptr;
    }
    dialogs.emplace_back();
    auto dialog = std::make_unique<HeadlessCancelDialog>(cancelRequested, dialogs.back(), canCreateDialogWindow);
    lastDialog = dialog.get();
    return dialog;
}

std::vector<std::string> HeadlessInputHost::AllStatuses() const
{
    std::vector<std::string> statuses;
    for (const CancelDialogRecord& dialog : dialogs) {
        statuses.insert(statuses.end(), dialog.statuses.begin(), dialog.statuses.end());
    }
    return statuses;
}

} // namespace discforge
