#include "input/HeadlessInputHost.h"

namespace discforge {
namespace {

// Without a window there is nothing to show and nobody to press Cancel.
class SilentCancelDialog final : public TCancelDialog {
public:
    using TCancelDialog::TCancelDialog;
    bool Create() override { return true; }
    void SetCaption(const std::string&) override { }
    void SetUpperText(const std::string&) override { }
    void SetStatusText(const std::string&) override { }
    void Close() override { }
};

} // namespace

std::unique_ptr<TCancelDialog> HeadlessInputHost::MakeCancelDialog(bool& cancelRequested)
{
    return std::make_unique<SilentCancelDialog>(cancelRequested);
}

} // namespace discforge
