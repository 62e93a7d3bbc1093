// A probe for the script language's tests: files are asked about on disk,
// media facts come from a table by file name, and every sound has one peak.
#pragma once

#include "script/AvsProbe.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace discforge {

// Answers for files that exist in the test's folder, as their headers would.
class FakeProbe : public AvsMediaProbe {
public:
    std::map<std::string, AvsMediaFacts> files;
    bool Probe(const std::string& path, const AvsTrackChoice&, AvsMediaFacts& facts, std::string& reason) override
    {
        const auto found = files.find(std::filesystem::path(path).filename().string());
        if (found == files.end()) {
            reason = "not media";
            return false;
        }
        facts = found->second;
        return true;
    }
    double peak = 0.5;
    bool SoundPeak(const std::string&, double& measured, std::string&) override
    {
        measured = peak;
        return true;
    }
    std::vector<std::string> asked; // every path asked about, in order
    bool IsFile(const std::string& path) override
    {
        asked.push_back(path);
        return std::filesystem::is_regular_file(path);
    }
    bool ReadText(const std::string& path, std::size_t limit, std::string& text, std::string& reason) override
    {
        std::ifstream file(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(file), {});
        if (!file.is_open() || text.size() > limit) {
            reason = "unreadable";
            return false;
        }
        return true;
    }
    // Every readable file has a subtitle video of the same name with ".nut" added.
    bool SubtitleVideo(const std::string& path, std::string& video, std::string& reason) override
    {
        if (!std::filesystem::is_regular_file(path)) {
            reason = "no subtitle pictures";
            return false;
        }
        video = path + ".nut";
        return true;
    }
};

} // namespace discforge
