// A stand-in for an external tool (an authoring program): a shell script put
// first on PATH while the object lives.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace discforge::test {

class StandInTool {
public:
    // Writes `folder`/`name` running `body` under /bin/sh.
    StandInTool(const std::string& folder, const std::string& name, const std::string& body)
        : saved_(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "")
    {
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/" + name;
        std::ofstream(path) << "#!/bin/sh\n" << body;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        setenv("PATH", (folder + ":" + saved_).c_str(), 1);
    }
    ~StandInTool() { setenv("PATH", saved_.c_str(), 1); }
    StandInTool(const StandInTool&) = delete;
    StandInTool& operator=(const StandInTool&) = delete;

private:
    std::string saved_;
};

// What a successful dvdauthor leaves in its work folder, where it is told to write "disc/".
inline constexpr const char* standInDvdauthor
    = "mkdir -p disc/VIDEO_TS disc/AUDIO_TS\necho stand-in dvdauthor wrote the disc\n";

} // namespace discforge::test
