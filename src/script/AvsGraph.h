// Collects the filters a script's clips are made of and writes them as one
// libavfilter graph description. A pad is one filter output; a pad used by
// several filters is split, and filters the result does not reach are left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace discforge {

class AvsGraph {
public:
    // A filter (or a chain "a,b") with the given inputs and `videoOutputs`
    // video then `audioOutputs` audio outputs; returns its first output pad.
    int Add(std::string filter, std::vector<int> inputs, int videoOutputs, int audioOutputs);
    // One filter after one pad, with one output of the same kind.
    int Chain(int input, std::string filter);
    std::size_t Size() const { return nodes_.size(); }
    // A line for the run log about a choice the graph holds (which filter a
    // plugin's function runs as); each is kept once.
    void Note(const std::string& note);
    const std::vector<std::string>& Notes() const { return notes_; }

    // The description whose outputs are labelled "out0" (video) and "out1"
    // (audio); a negative pad leaves its output out.
    std::string Render(int videoPad, int audioPad) const;

private:
    struct Node {
        std::string filter;
        std::vector<int> inputs;
        std::vector<int> outputs;
    };
    std::vector<Node> nodes_;
    std::vector<int> padNode_;
    std::vector<bool> padIsVideo_;
    std::vector<std::string> notes_;
};

// A value inside a filter's option list, then the option list inside the
// graph: both levels of escaping libavfilter undoes.
std::string AvsFilterValue(std::string_view value);

} // namespace discforge
