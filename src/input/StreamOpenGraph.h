// The video chain of the input being opened, as the decoder settings dialog
// works on it. A choice is checked by the component, kept as the input's own,
// and applied at once: the open's streams, not yet running, are opened again
// with it.
#pragma once

#include "input/MediaInputContext.h"
#include "ports/FilterGraph.h"

#include <string>
#include <vector>

namespace discforge {

class StreamOpenGraph final : public FilterGraph {
public:
    StreamOpenGraph(MediaInputContext context, int index);

    std::vector<MediaComponent> Components() const override;
    OptionsLookup Options(const std::string& component, std::vector<ComponentOption>& options) const override;
    std::string ChooseOptions(const std::string& component, const OptionValues& values) override;
    void ResetOptions(const std::string& component) override;

    // True once a choice or a reset reopened the streams.
    bool Changed() const { return changed_; }

private:
    void Reapply();

    MediaInputContext context_;
    int index_;
    bool changed_ = false;
};

// Writes the open's notes on skipped settings of both streams to the run log, each once.
void LogOptionNotes(RunLog& log, const MmStream* video, const MmStream* audio);

} // namespace discforge
