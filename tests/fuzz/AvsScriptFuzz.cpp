// The script reader on arbitrary bytes: lexing, parsing and evaluation with
// every named file answered as a short clip and every sound as half scale. A refusal must say where; a
// result must be a whole graph.
#include "script/AvsScript.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

class AnyFileIsAClip : public discforge::AvsMediaProbe {
public:
    bool Probe(
        const std::string&, const discforge::AvsTrackChoice&, discforge::AvsMediaFacts& facts, std::string&) override
    {
        facts.videoTrack = 0;
        facts.hasVideo = true;
        facts.width = 64;
        facts.height = 48;
        facts.fpsNumerator = 25;
        facts.frames = 10;
        facts.audioTrack = 1;
        facts.hasAudio = true;
        facts.sampleRate = 8000;
        facts.channels = 1;
        facts.samples = 3200;
        return true;
    }
    // The graph is never run here; Normalize gets a sound at half scale.
    bool SoundPeak(const std::string& graph, double& peak, std::string&) override
    {
        if (graph.find("[out1]") == std::string::npos || graph.find("[out0]") != std::string::npos) {
            __builtin_trap();
        }
        peak = 0.5;
        return true;
    }
    bool IsFile(const std::string&) override { return true; }
    // Every imported or index file reads as one line that makes a clip.
    bool ReadText(const std::string&, std::size_t, std::string& text, std::string&) override
    {
        text = "BlankClip(length=5)\n";
        return true;
    }
    bool SubtitleVideo(const std::string& path, std::string& video, std::string&) override
    {
        video = path + ".nut";
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    AnyFileIsAClip probe;
    discforge::AvsResult result;
    discforge::AvsError error;
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    if (discforge::EvaluateAvsScript(script, "/", probe, result, error)) {
        if (result.graph.find("[out0]") == std::string::npos || !result.clip.hasVideo) {
            __builtin_trap();
        }
    } else if (error.message.empty() || error.line < 1 || error.column < 1) {
        __builtin_trap();
    }
    return 0;
}
