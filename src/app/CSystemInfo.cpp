#include "app/CSystemInfo.h"

#include "platform/SystemProbe.h"

#include <utility>

namespace discforge {

CSystemInfo::CSystemInfo(std::string osReleasePath, std::string cpuInfoPath)
    : osReleasePath_(std::move(osReleasePath))
    , cpuInfoPath_(std::move(cpuInfoPath))
{
}

void CSystemInfo::ReadOsInfo()
{
    const OsFacts facts = ProbeOs(osReleasePath_);
    osName = facts.prettyName;
    if (!facts.kernelRelease.empty()) {
        osName += (osName.empty() ? "Linux " : ", Linux ") + facts.kernelRelease;
    }
    majorVersion = facts.kernelMajor;
    minorVersion = facts.kernelMinor;
    buildNumber = facts.kernelBuild;
}

void CSystemInfo::ReadCpuInfo()
{
    const CpuFacts facts = ProbeCpu(cpuInfoPath_);
    processorIdentifier = facts.identifier;
    processorVendor = facts.vendor;
    processorName = facts.name;
    processorMhz = facts.mhz;
}

void CSystemInfo::ReadDirectXInfo() { directXText = MediaLibraryVersions(); }

std::string CSystemInfo::Describe()
{
    ReadOsInfo();
    ReadCpuInfo();
    ReadDirectXInfo();
    return "OS Info = " + osName + ", build = " + std::to_string(buildNumber) + "\r\nCPU Info = " + processorIdentifier
        + ", " + processorVendor + ", " + processorName + "\r\nDirectX Info = " + directXText + "\r\n";
}

} // namespace discforge
