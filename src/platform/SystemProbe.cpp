#include "platform/SystemProbe.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace discforge {
namespace {

constexpr std::size_t kMaxLine = 4096;

std::string Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string Version(unsigned packed)
{
    return std::to_string(packed >> 16) + "." + std::to_string((packed >> 8) & 0xFF) + "."
        + std::to_string(packed & 0xFF);
}

} // namespace

OsFacts ProbeOs(const std::string& osReleasePath)
{
    OsFacts facts;
    std::ifstream file(osReleasePath);
    std::string line;
    while (std::getline(file, line) && line.size() < kMaxLine) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            facts.prettyName = Unquote(Trim(std::string_view(line).substr(12)));
        }
    }
    utsname names{};
    if (uname(&names) == 0) {
        facts.kernelRelease = names.release;
        std::sscanf(names.release, "%d.%d", &facts.kernelMajor, &facts.kernelMinor);
        if (names.version[0] == '#') {
            facts.kernelBuild = std::atoi(names.version + 1);
        }
    }
    return facts;
}

CpuFacts ProbeCpu(const std::string& cpuInfoPath)
{
    CpuFacts facts;
    std::string family;
    std::string model;
    std::string stepping;
    std::ifstream file(cpuInfoPath);
    std::string line;
    // The first processor block describes the machine well enough.
    while (std::getline(file, line) && line.size() < kMaxLine) {
        if (Trim(line).empty()) {
            break;
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const std::string key = Trim(std::string_view(line).substr(0, colon));
        const std::string value = Trim(std::string_view(line).substr(colon + 1));
        if (key == "vendor_id") {
            facts.vendor = value;
        } else if (key == "model name") {
            facts.name = value;
        } else if (key == "cpu family") {
            family = value;
        } else if (key == "model") {
            model = value;
        } else if (key == "stepping") {
            stepping = value;
        } else if (key == "cpu MHz") {
            facts.mhz = std::atoi(value.c_str());
        }
    }
    if (!family.empty()) {
        utsname names{};
        const std::string machine = uname(&names) == 0 ? names.machine : "";
        facts.identifier = machine + " Family " + family + " Model " + model + " Stepping " + stepping;
    }
    return facts;
}

std::string MediaLibraryVersions()
{
    return "libavformat " + Version(avformat_version()) + ", libavcodec " + Version(avcodec_version()) + ", libswscale "
        + Version(swscale_version()) + ", libswresample " + Version(swresample_version()) + ", libavutil "
        + Version(avutil_version());
}

} // namespace discforge
