#include "core/DecoderOptionStore.h"

namespace discforge {

void DecoderOptionStore::Keep(ComponentSettings remembered, Keeper keeper)
{
    remembered_ = std::move(remembered);
    keeper_ = std::move(keeper);
    Combine();
}

void DecoderOptionStore::Remember(const std::string& component, const OptionValues& values)
{
    if (values.empty()) {
        remembered_.erase(component);
    } else {
        remembered_[component] = values;
    }
    // What the user chose now counts over what the run was started with.
    runOnly_.erase(component);
    if (keeper_) {
        keeper_(component, values);
    }
    Combine();
}

void DecoderOptionStore::SetForRun(const std::string& component, const std::string& name, const std::string& value)
{
    runOnly_[component][name] = value;
    Combine();
}

void DecoderOptionStore::Combine()
{
    effective_ = remembered_;
    for (const auto& [component, values] : runOnly_) {
        for (const auto& [name, value] : values) {
            effective_[component][name] = value;
        }
    }
}

} // namespace discforge
