// Every file in malformed/ once upset a reader (most were found by the fuzz
// targets). Loading one must end in a clean result, and what was loaded must
// survive the operations a frame goes through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"
#include "TestPaths.h"

namespace discforge {
namespace {

TEST(MalformedFiles, LoadAndProcessWithoutHarm)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DISCFORGE_MALFORMED_DIR)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md") {
            continue;
        }
        ++files;
        TFullDib dib;
        if (!dib.LoadFile(entry.path().string())) {
            EXPECT_STRNE(dib.ErrorText(), "") << entry.path();
            continue;
        }
        const int width = dib.Width();
        const int height = dib.Height();
        ASSERT_TRUE(dib.ConvertDepth(32)) << entry.path();
        dib.Deinterlace();
        ASSERT_TRUE(dib.FlipVertical());
        ASSERT_TRUE(dib.Crop(width / 5, height / 7, width / 2 + 3, height / 2 + 1));
        ASSERT_TRUE(dib.Rescale(width / 3 + 2, height * 2 / 3 + 1, width / 3 + 9, height + 1));
    }
    EXPECT_GT(files, 0);
}

// The panel's readers meet the same files at panel sizes that reduce them by
// large, small and no steps, and a panel without pixels.
TEST(MalformedFiles, PanelsLoadThemWithoutHarm)
{
    const PanelRect panels[] = {{0, 0, 160, 120}, {0, 0, 7, 5}, {0, 0, 1, 1}, {0, 0, 0, 0}};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DISCFORGE_MALFORMED_DIR)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md") {
            continue;
        }
        ++files;
        for (const PanelRect& rect : panels) {
            TPreviewDib panel(nullptr, rect);
            if (!panel.LoadFile(entry.path().string())) {
                EXPECT_STRNE(panel.ErrorText(), "") << entry.path();
            }
            panel.DrawFrameLine();
            EXPECT_EQ(panel.Width(), rect.Width());
            EXPECT_EQ(panel.Depth(), 24);
        }
    }
    EXPECT_GT(files, 0);
}

// The process's peak resident memory in kB (VmHWM), after resetting it to
// what is resident now when `reset`; -1 when the system does not say.
long PeakResidentKb(bool reset)
{
    if (reset) {
        std::ofstream("/proc/self/clear_refs") << "5";
    }
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// A 527-byte JPEG found by the fuzz target declares 65494 x 63458 pixels in
// several scans: the library would keep 8 GB of coefficients for it. Both
// readers refuse it from its header, and nothing large is ever touched.
TEST(MalformedFiles, APictureDeclaringBillionsOfPixelsIsRefusedFromItsHeader)
{
    const std::string path = std::string(DISCFORGE_MALFORMED_DIR) + "/jpeg-declares-65494-by-63458-in-several-scans.jpg";
    ASSERT_EQ(std::filesystem::file_size(path), 527u);
    const long before = PeakResidentKb(true);
    ASSERT_GT(before, 0);
    TFullDib dib;
    EXPECT_FALSE(dib.LoadFile(path));
    EXPECT_STREQ(dib.ErrorText(), "it declares 65494 \u00d7 63458 pixels, more than 200 megapixels");
    EXPECT_FALSE(dib.HasPicture());
    TPreviewDib panel(nullptr, {0, 0, 160, 120});
    EXPECT_FALSE(panel.LoadFile(path));
    EXPECT_STREQ(panel.ErrorText(), "it declares 65494 \u00d7 63458 pixels, more than 200 megapixels");
    const long growth = PeakResidentKb(false) - before;
    EXPECT_LT(growth, 64 * 1024) << "peak grew by " << growth << " kB";
}

} // namespace
} // namespace discforge
