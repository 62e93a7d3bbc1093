// The output option controls: each handler reads its control, checks what the
// user entered and stores it in the settings or in an input's picture options.
// The picture size fields put the stored size back silently when refused; the
// maximum-size field says why.
#pragma once

#include <optional>
#include <string>

namespace discforge {

class AppParts;

// The whole number a text starts with, as "%d" reads it (blanks, a sign, then
// digits; "720px" is 720); none without digits or beyond the int range.
std::optional<int> LeadingInteger(const std::string& text);

class OptionControls {
public:
    explicit OptionControls(AppParts& core)
        : core_(core)
    {
    }

    // The proportional (1174) or fill-in (1175) radio button was clicked.
    void FittingClicked(int radioId);
    void InvertClicked();
    void SplitClicked();
    void ShutdownClicked();
    void WidthFieldLeft();
    void HeightFieldLeft();
    void MaxSizeFieldLeft();
    void OutputNameFieldLeft();

private:
    void SizeFieldLeft(int fieldId, int maximum, bool width);
    // Every choice that changes the output picture shows in the output preview at once.
    void RefreshOutputPreviewIfLive();
    // Where the size of that field is kept: the current input's own size in
    // batch mode, the shared size otherwise; null without a current input.
    int* StoredSize(bool width);

    AppParts& core_;
};

} // namespace discforge
