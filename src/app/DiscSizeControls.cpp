#include "app/DiscSizeControls.h"

#include "app/AppParts.h"
#include "app/BatchPlan.h"
#include "app/DiscMeter.h"
#include "app/PlanMessages.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "ports/ControlSurface.h"

#include <array>

namespace discforge {
namespace {

constexpr std::array standardDiscs{DiscSizeKind::dvd5, DiscSizeKind::dvd9, DiscSizeKind::cd74, DiscSizeKind::cd80};
// A typed size longer than this is no disc: the field is read no further.
constexpr std::size_t megabytesFieldLimit = 16;

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<DiscSize> TypedMegabytes(const std::string& text)
{
    const std::optional<DiscSize> size = ParseDiscSize(Trimmed(text.substr(0, megabytesFieldLimit)));
    if (size && size->kind == DiscSizeKind::megabytes) {
        return size;
    }
    return std::nullopt;
}

// What the MB field shows: the size typed before, else the disc chosen before in MB.
std::string MegabytesShown(const std::optional<DiscSize>& size)
{
    const DiscSize disc = size.value_or(DiscSize{});
    return std::to_string(DiscCapacityBytes(disc) / bytesPerDiscMegabyte);
}

} // namespace

std::vector<std::string> DiscSizeChoices()
{
    std::vector<std::string> lines{plan_message::noDiscSize};
    for (const DiscSizeKind kind : standardDiscs) {
        lines.push_back(DiscSizeName(DiscSize{kind, 0}));
    }
    lines.emplace_back(plan_message::sizeInMegabytes);
    return lines;
}

std::optional<DiscSize> DiscSizeOfChoice(const std::string& line, const std::string& megabytesText)
{
    for (const DiscSizeKind kind : standardDiscs) {
        if (line == DiscSizeName(DiscSize{kind, 0})) {
            return DiscSize{kind, 0};
        }
    }
    if (line == plan_message::sizeInMegabytes) {
        return TypedMegabytes(megabytesText);
    }
    return std::nullopt;
}

std::string DiscSizeChoiceLine(const std::optional<DiscSize>& size)
{
    if (!size) {
        return plan_message::noDiscSize;
    }
    return size->kind == DiscSizeKind::megabytes ? plan_message::sizeInMegabytes : DiscSizeName(*size);
}

void DiscSizeChoiceMade(AppParts& core)
{
    ControlSurface& controls = core.ports.controls;
    const std::string line = controls.Text(control::discSizeChoice);
    if (line == plan_message::sizeInMegabytes && !TypedMegabytes(controls.Text(control::discSizeEdit))) {
        controls.SetText(control::discSizeEdit, MegabytesShown(core.settings.discSize));
    }
    core.settings.discSize = DiscSizeOfChoice(line, controls.Text(control::discSizeEdit));
    ShowDiscSize(core);
    core.windowRefresh.ApplyEnabling();
    ShowDiscMeter(core);
}

void DiscSizeFieldLeft(AppParts& core)
{
    const std::optional<DiscSize>& stored = core.settings.discSize;
    if (!stored || stored->kind != DiscSizeKind::megabytes) {
        // The field is off unless the MB line is chosen; what it holds then means nothing yet.
        return;
    }
    ControlSurface& controls = core.ports.controls;
    if (const std::optional<DiscSize> typed = TypedMegabytes(controls.Text(control::discSizeEdit))) {
        core.settings.discSize = typed;
    } else {
        ShowMessage(core.ports.messages, plan_message::discSizeRange, plan_message::caption);
    }
    ShowDiscSize(core);
    ShowDiscMeter(core);
}

void ShowDiscSize(AppParts& core)
{
    ControlSurface& controls = core.ports.controls;
    const std::optional<DiscSize>& size = core.settings.discSize;
    controls.SetText(control::discSizeChoice, DiscSizeChoiceLine(size));
    if (size && size->kind == DiscSizeKind::megabytes) {
        controls.SetText(control::discSizeEdit, std::to_string(size->megabytes));
    }
}

void ShowDiscMeter(AppParts& core)
{
    const std::optional<DiscPlan> plan = PlanBatch(core.settings, core.inputs);
    core.ports.controls.SetText(control::discMeter, plan ? DiscMeterText(*plan) : std::string());
}

} // namespace discforge
