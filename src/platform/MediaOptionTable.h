// Inside the media layer: the options a component offers, straight from the
// FFmpeg tables, and scratch objects that values are tried on.
#pragma once

#include "platform/MediaOptions.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace discforge {

struct OfferedOption {
    const AVOption* option = nullptr;
    const AVClass* table = nullptr; // the table that holds its named constants
};

std::vector<OfferedOption> OfferedOptions(const ComponentIdentity& component);
// The option described for the dialog; its current value is its default.
ComponentOption Describe(const OfferedOption& offered);

// A fresh object of the component's kind with every option at its default;
// Get() is null when it could not be made.
class ScratchObject {
public:
    explicit ScratchObject(const ComponentIdentity& component);
    ~ScratchObject();
    ScratchObject(const ScratchObject&) = delete;
    ScratchObject& operator=(const ScratchObject&) = delete;
    void* Get() const { return object_; }
    // How av_opt_set and av_opt_get look for an option in it: a demuxer's stand-in
    // record has no children to search.
    int SearchFlags() const { return role_ == ComponentRole::Source ? 0 : AV_OPT_SEARCH_CHILDREN; }

private:
    ComponentRole role_;
    void* object_ = nullptr;
};

} // namespace discforge
