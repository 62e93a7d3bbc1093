#include "app/CSystemInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace discforge {
namespace {

class SystemInfoTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / name;
        std::ofstream(path) << text;
        return path.string();
    }
};

TEST_F(SystemInfoTest, DescribeFillsTheThreeLinesFromTheSystemFiles)
{
    const std::string osRelease = Write("os-release",
        "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
        "(bookworm)\"\nVERSION_ID=\"12\"\n");
    const std::string cpuInfo = Write("cpuinfo",
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\n"
        "model\t\t: 85\nmodel name\t: Intel(R) Xeon(R) CPU @ 2.00GHz\n"
        "stepping\t: 7\ncpu MHz\t\t: 2000.170\n\nprocessor\t: 1\n"
        "vendor_id\t: Other\n");
    CSystemInfo info(osRelease, cpuInfo);
    const std::string text = info.Describe();

    const std::regex format("OS Info = Debian GNU/Linux 12 \\(bookworm\\), Linux [^,\r\n]+, build = -?[0-9]+\r\n"
                            "CPU Info = [a-z0-9_]* Family 6 Model 85 Stepping 7, GenuineIntel, "
                            "Intel\\(R\\) Xeon\\(R\\) CPU @ 2\\.00GHz\r\n"
                            "DirectX Info = libavformat [0-9.]+, libavcodec [0-9.]+, libswscale [0-9.]+, "
                            "libswresample [0-9.]+, libavutil [0-9.]+\r\n");
    EXPECT_TRUE(std::regex_match(text, format)) << text;
    EXPECT_EQ(info.processorMhz, 2000);
    EXPECT_EQ(info.processorVendor, "GenuineIntel");
}

TEST_F(SystemInfoTest, UnreadableFilesLeaveTheirTextsEmptyInTheSameFormat)
{
    CSystemInfo info("/nonexistent/os-release", "/nonexistent/cpuinfo");
    const std::string text = info.Describe();
    EXPECT_TRUE(std::regex_match(text,
        std::regex("OS Info = Linux [^\r\n]+, build = -?[0-9]+\r\n"
                   "CPU Info = , , \r\nDirectX Info = libavformat [^\r\n]+\r\n")))
        << text;
}

} // namespace
} // namespace discforge
