#include "script/AvsGraph.h"

#include <algorithm>
#include <map>

namespace discforge {
namespace {

std::string Escaped(std::string_view text, std::string_view specials)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (specials.find(c) != std::string_view::npos) {
            out += '\\';
        }
        out += c;
    }
    return out;
}

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal + a temporary string.
std::string Label(const std::string& name)
{
    std::string label = "[";
    label += name;
    label += ']';
    return label;
}

std::string PadName(int pad)
{
    std::string name = "p";
    name += std::to_string(pad);
    return name;
}

} // namespace

std::string AvsFilterValue(std::string_view value) { return Escaped(Escaped(value, "\\':"), "\\'[],;"); }

int AvsGraph::Add(std::string filter, std::vector<int> inputs, int videoOutputs, int audioOutputs)
{
    Node node{std::move(filter), std::move(inputs), {}};
    const int first = static_cast<int>(padNode_.size());
    for (int i = 0; i < videoOutputs + audioOutputs; ++i) {
        node.outputs.push_back(static_cast<int>(padNode_.size()));
        padNode_.push_back(static_cast<int>(nodes_.size()));
        padIsVideo_.push_back(i < videoOutputs);
    }
    nodes_.push_back(std::move(node));
    return first;
}

void AvsGraph::Note(const std::string& note)
{
    if (std::find(notes_.begin(), notes_.end(), note) == notes_.end()) {
        notes_.push_back(note);
    }
}

int AvsGraph::Chain(int input, std::string filter)
{
    const bool video = padIsVideo_[static_cast<std::size_t>(input)];
    return Add(std::move(filter), {input}, video ? 1 : 0, video ? 0 : 1);
}

std::string AvsGraph::Render(int videoPad, int audioPad) const
{
    // Nodes the outputs reach; their order of creation is already an order
    // in which every input exists before its use.
    std::vector<bool> needed(nodes_.size(), false);
    std::vector<int> work;
    for (int pad : {videoPad, audioPad}) {
        if (pad >= 0) {
            work.push_back(padNode_[static_cast<std::size_t>(pad)]);
        }
    }
    while (!work.empty()) {
        const int node = work.back();
        work.pop_back();
        if (needed[static_cast<std::size_t>(node)]) {
            continue;
        }
        needed[static_cast<std::size_t>(node)] = true;
        for (int input : nodes_[static_cast<std::size_t>(node)].inputs) {
            work.push_back(padNode_[static_cast<std::size_t>(input)]);
        }
    }
    std::map<int, int> uses;
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        if (needed[n]) {
            for (int input : nodes_[n].inputs) {
                ++uses[input];
            }
        }
    }
    for (int pad : {videoPad, audioPad}) {
        if (pad >= 0) {
            ++uses[pad];
        }
    }

    std::string graph;
    std::map<int, int> taken;
    auto use = [&](int pad) {
        const std::string name = PadName(pad);
        return uses[pad] > 1 ? name + "_" + std::to_string(taken[pad]++) : name;
    };
    for (std::size_t n = 0; n < nodes_.size(); ++n) {
        if (!needed[n]) {
            continue;
        }
        const Node& node = nodes_[n];
        for (int input : node.inputs) {
            graph += Label(use(input));
        }
        graph += node.filter;
        for (int output : node.outputs) {
            graph += Label(PadName(output));
        }
        graph += ";\n";
        for (int output : node.outputs) {
            const int count = uses.count(output) != 0 ? uses.at(output) : 0;
            const std::string name = PadName(output);
            if (count == 0) {
                graph
                    += Label(name) + (padIsVideo_[static_cast<std::size_t>(output)] ? "nullsink" : "anullsink") + ";\n";
            } else if (count > 1) {
                graph += Label(name) + (padIsVideo_[static_cast<std::size_t>(output)] ? "split=" : "asplit=")
                    + std::to_string(count);
                for (int i = 0; i < count; ++i) {
                    graph += Label(name + "_" + std::to_string(i));
                }
                graph += ";\n";
            }
        }
    }
    if (videoPad >= 0) {
        graph += Label(use(videoPad));
        // The result reports square pixels whatever its sources declared, as
        // the script language knows no pixel shape.
        graph += "setsar=1[out0]";
    }
    if (audioPad >= 0) {
        graph += videoPad >= 0 ? ";\n" : "";
        graph += Label(use(audioPad));
        graph += "anull[out1]";
    }
    return graph;
}

} // namespace discforge
