// Facts about the running system for the run log's description line.
#pragma once

#include <string>

namespace discforge {

struct OsFacts {
    std::string prettyName; // PRETTY_NAME of os-release, empty when unknown
    std::string kernelRelease; // uname release, e.g. "6.1.0-37-amd64"
    int kernelMajor = 0;
    int kernelMinor = 0;
    int kernelBuild = 0; // the "#N" build count of the kernel's version text
};

struct CpuFacts {
    std::string identifier; // "x86_64 Family 6 Model 85 Stepping 7"
    std::string vendor;
    std::string name;
    int mhz = 0;
};

OsFacts ProbeOs(const std::string& osReleasePath);
CpuFacts ProbeCpu(const std::string& cpuInfoPath);
// The versions of the media libraries the program runs with.
std::string MediaLibraryVersions();

} // namespace discforge
