// The description of the computer that opens the run log.
#pragma once

#include <string>

namespace discforge {

class CSystemInfo {
public:
    explicit CSystemInfo(std::string osReleasePath = "/etc/os-release", std::string cpuInfoPath = "/proc/cpuinfo");
    virtual ~CSystemInfo() = default;

    void ReadOsInfo();
    void ReadCpuInfo();
    // The slot that named the DirectX version names the media libraries here.
    void ReadDirectXInfo();
    // Runs the three readers and returns the three description lines.
    std::string Describe();

    std::string processorName;
    std::string processorIdentifier;
    std::string processorVendor;
    std::string osName;
    int processorMhz = 0;
    int servicePackNumber = 0;
    int buildNumber = 0;
    int minorVersion = 0;
    int majorVersion = 0;
    int directXVersion = 0;
    int directXRevision = 0;
    std::string directXText;

private:
    std::string osReleasePath_;
    std::string cpuInfoPath_;
};

} // namespace discforge
