// The panel's readers against the full-size readers: every reader test file
// (the seeds kept from the reader tests: every depth, compression and row order
// they cover) loaded at panel size must show what the full-size picture shows
// at the panel's steps. JPEG is compared with libjpeg's own decoding at the
// panel's decoder settings. And a progressive JPEG is drawn once per scan.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "PanelTestSupport.h"
#include "PictureFiles.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"
#include "TestPaths.h"

namespace discforge {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::PaintRecorder;
using test::Rgb;

Bytes ReadWhole(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Whether the file stores its top row first, read from its header here.
bool StoredTopDown(const std::string& format, const Bytes& file)
{
    if (format == "bmp") {
        const int headerSize = file[14] | file[15] << 8;
        return headerSize != 12 && (file[25] & 0x80) != 0; // a negative height
    }
    if (format == "targa") {
        return (file[17] & 0x20) != 0;
    }
    return true; // PCX, GIF and JPEG
}

// libjpeg's decoding with the fast transform and plain upsampling.
test::SourceColour FastJpegColours(const Bytes& jpeg, std::vector<std::uint8_t>& decoded)
{
    int width = 0;
    int height = 0;
    int components = 0;
    decoded = test::DecodeJpegPlain(jpeg, width, height, components, true);
    return [&decoded, width, height, components](int x, int fromBottom) {
        const std::uint8_t* p
            = decoded.data() + (static_cast<std::size_t>(height - 1 - fromBottom) * width + x) * components;
        return components == 1 ? Rgb{p[0], p[0], p[0]} : Rgb{p[2], p[1], p[0]};
    };
}

TEST(PanelReaders, EveryTestFileShowsTheFullSizePictureAtThePanelsSteps)
{
    const PanelRect panels[]
        = {{0, 0, 2, 2}, {0, 0, 3, 2}, {0, 0, 5, 4}, {0, 0, 8, 6}, {0, 0, 13, 9}, {0, 0, 40, 30}, {0, 0, 160, 120}};
    std::map<std::string, int> filesPerFormat;
    for (const std::string format : {"bmp", "pcx", "targa", "gif", "jpeg"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(DISCFORGE_SEEDS_DIR) / format)) {
            const Bytes file = ReadWhole(entry.path());
            ++filesPerFormat[format];
            TFullDib full;
            const bool fullLoaded = test::LoadBytes(full, file);
            std::vector<std::uint8_t> decoded;
            const test::SourceColour colours = format == "jpeg" && fullLoaded
                ? FastJpegColours(file, decoded)
                : [&full](int x, int fromBottom) { return test::ColourAt(full, x, fromBottom); };
            for (const PanelRect& rect : panels) {
                SCOPED_TRACE(
                    testing::Message() << entry.path().filename() << " in " << rect.right << " x " << rect.bottom);
                PaintRecorder recorder;
                TPreviewDib panel(&recorder, rect);
                ASSERT_EQ(test::LoadBytes(panel, file), fullLoaded) << panel.ErrorText();
                if (!fullLoaded) {
                    EXPECT_STREQ(panel.ErrorText(), full.ErrorText());
                    continue;
                }
                EXPECT_EQ(panel.Format(), full.Format());
                EXPECT_EQ(panel.DeclaredWidth(), full.DeclaredWidth());
                EXPECT_EQ(panel.DeclaredHeight(), full.DeclaredHeight());
                EXPECT_EQ(panel.DeclaredDepth(), full.DeclaredDepth());
                const bool topDown = StoredTopDown(format, file);
                test::ExpectPanelShows(panel, full.Width(), full.Height(), topDown, colours);
                test::ExpectScreenMatchesPanel(recorder, panel);
                // Rows are painted one by one as the file delivers them.
                const std::vector<int> painted = recorder.SingleRows();
                if (format != "gif" && !panel.Reader().jpegProgressive && painted.size() > 1) {
                    EXPECT_TRUE(topDown ? std::is_sorted(painted.rbegin(), painted.rend())
                                        : std::is_sorted(painted.begin(), painted.end()));
                    EXPECT_EQ(std::adjacent_find(painted.begin(), painted.end()), painted.end());
                }
            }
        }
    }
    EXPECT_GE(filesPerFormat["bmp"], 15);
    EXPECT_GE(filesPerFormat["pcx"], 4);
    EXPECT_GE(filesPerFormat["targa"], 22);
    EXPECT_GE(filesPerFormat["gif"], 12);
    EXPECT_GE(filesPerFormat["jpeg"], 5);
}

Bytes Scene(int width, int height, int components)
{
    Bytes pixels(static_cast<std::size_t>(width) * height * components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                // Edges and texture, so that early scans differ from the last.
                const int value = ((x / 7 + y / 5) % 2) * 160 + (x * 13 + y * 29 + c * 71) % 90;
                pixels[(static_cast<std::size_t>(y) * width + x) * components + c] = static_cast<std::uint8_t>(value);
            }
        }
    }
    return pixels;
}

int CountScans(const Bytes& jpeg)
{
    int scans = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        scans += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
    }
    return scans;
}

// The painted rows cut into passes over the kept rows, top row first.
std::vector<std::vector<int>> Passes(const std::vector<int>& painted, const std::vector<int>& oneUpdate)
{
    std::vector<std::vector<int>> passes;
    for (std::size_t i = 0; i < painted.size(); i += oneUpdate.size()) {
        passes.emplace_back(painted.begin() + static_cast<std::ptrdiff_t>(i),
            painted.begin() + static_cast<std::ptrdiff_t>(std::min(painted.size(), i + oneUpdate.size())));
    }
    return passes;
}

std::vector<int> KeptRowsTopFirst(const PanelFit& fit, int panelHeight)
{
    std::vector<int> rows;
    for (int k = 0; k < fit.keptRows; ++k) {
        const int row = fit.verticalOffset + fit.shownHeight - 1 - k;
        if (row >= 0 && row < panelHeight) {
            rows.push_back(row);
        }
    }
    return rows;
}

TEST(PanelReaders, ProgressiveJpegIsDrawnOncePerScanEachTimeWhole)
{
    for (int components : {3, 1}) {
        const Bytes jpeg = test::MakeJpeg(120, 90, components, Scene(120, 90, components), true);
        const int scans = CountScans(jpeg);
        ASSERT_GT(scans, 1);
        PaintRecorder recorder;
        TPreviewDib panel(&recorder, {0, 0, 40, 30});
        ASSERT_TRUE(test::LoadBytes(panel, jpeg)) << panel.ErrorText();
        EXPECT_TRUE(panel.Reader().jpegProgressive);
        const std::vector<int> pass = KeptRowsTopFirst(panel.Shown(), panel.Height());
        const std::vector<std::vector<int>> passes = Passes(recorder.SingleRows(), pass);
        ASSERT_EQ(static_cast<int>(passes.size()), scans);
        for (const std::vector<int>& drawn : passes) {
            EXPECT_EQ(drawn, pass);
        }
        // The first scan is coarser than the picture the last one leaves.
        const PaintRecorder::PaintedRow* first = recorder.FirstSingleRow();
        ASSERT_NE(first, nullptr);
        const std::vector<std::uint8_t> last(panel.Row(first->row), panel.Row(first->row) + 3 * panel.Width());
        EXPECT_NE(first->pixels, last);
        std::vector<std::uint8_t> decoded;
        test::ExpectPanelShows(panel, 120, 90, true, FastJpegColours(jpeg, decoded));
        test::ExpectScreenMatchesPanel(recorder, panel);
    }
}

// A grey progressive JPEG with a scan of its own for every coefficient: 64 scans.
Bytes JpegWithAScanPerCoefficient(int width, int height, const Bytes& pixels)
{
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = 1;
    compressor.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&compressor);
    std::vector<jpeg_scan_info> script(64);
    for (int k = 0; k < 64; ++k) {
        script[k] = jpeg_scan_info{1, {0, 0, 0, 0}, k, k, 0, 0};
    }
    compressor.scan_info = script.data();
    compressor.num_scans = 64;
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + static_cast<std::size_t>(compressor.next_scanline) * width);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

TEST(PanelReaders, AJpegOfVeryManyScansIsDrawnABoundedNumberOfTimesAndEndsWhole)
{
    const Bytes jpeg = JpegWithAScanPerCoefficient(48, 40, Scene(48, 40, 1));
    ASSERT_EQ(CountScans(jpeg), 64);
    PaintRecorder recorder;
    TPreviewDib panel(&recorder, {0, 0, 20, 15});
    recorder.Forget();
    ASSERT_TRUE(test::LoadBytes(panel, jpeg)) << panel.ErrorText();
    const std::vector<int> pass = KeptRowsTopFirst(panel.Shown(), panel.Height());
    const std::size_t passes = recorder.SingleRows().size() / pass.size();
    EXPECT_GT(passes, 1u);
    EXPECT_LT(passes, 64u);
    std::vector<std::uint8_t> decoded;
    test::ExpectPanelShows(panel, 48, 40, true, FastJpegColours(jpeg, decoded));
}

} // namespace
} // namespace discforge
