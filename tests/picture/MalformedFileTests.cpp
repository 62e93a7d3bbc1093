// Every file in malformed/ once upset a reader (most were found by the fuzz
// targets). Loading one must end in a clean result, and what was loaded must
// survive the operations a frame goes through.
#include <gtest/gtest.h>

#include <filesystem>

#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"

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

} // namespace
} // namespace discforge
