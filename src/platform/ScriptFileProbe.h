// What a script asks of the files it names, answered from the files: media
// facts from their headers, a sound's peak by running its graph, text files
// read with a size limit.
#pragma once

#include "script/AvsProbe.h"

#include <string>
#include <vector>

namespace discforge {

class ScriptFileProbe : public AvsMediaProbe {
public:
    bool Probe(
        const std::string& path, const AvsTrackChoice& tracks, AvsMediaFacts& facts, std::string& reason) override;
    bool SoundPeak(const std::string& graph, double& peak, std::string& reason) override;
    bool IsFile(const std::string& path) override;
    bool ReadText(const std::string& path, std::size_t limit, std::string& text, std::string& reason) override;
    bool SubtitleVideo(const std::string& path, std::string& video, std::string& reason) override;

private:
    // The media files probed so far: a measured sound is read again only when one of them changed.
    std::vector<std::string> probed_;
};

} // namespace discforge
