// The table of disc formats and the shape of each input's frames: the table's
// pixel shapes checked against its frame sizes and display shapes, the automatic
// choice, the encoder's format codes and the fitting each input is given.
#include "app/FrameShape.h"
#include "core/ConversionSettings.h"
#include "input/InputEntry.h"

#include <gtest/gtest.h>

namespace discforge {
namespace {

TEST(DiscFormatTable, EveryShapeOfEveryDiscShowsTheWholeFrameAtItsShape)
{
    int rows = 0;
    for (const DiscFormat& disc : discFormats) {
        ++rows;
        ASSERT_GE(disc.shapeCount, 1) << disc.name;
        EXPECT_EQ(disc.shapes[0].shape, DisplayShape::fourByThree) << disc.name << ": 4:3 comes first";
        for (int i = 0; i < disc.shapeCount; ++i) {
            const ShapeEntry& shape = disc.shapes[i];
            // width x pixel shape / height is the display shape: cross-multiplied in whole numbers.
            EXPECT_EQ(std::int64_t{disc.width} * shape.pixel.num * shape.display.den,
                std::int64_t{disc.height} * shape.pixel.den * shape.display.num)
                << disc.name << " " << disc.standard << " shape " << i;
        }
    }
    EXPECT_EQ(rows, 8);
    const DiscFormat* palDvd = FindDiscFormat(formatDvd, standardPal);
    ASSERT_NE(palDvd, nullptr);
    EXPECT_EQ(palDvd->width, 720);
    EXPECT_EQ(palDvd->height, 576);
    EXPECT_FALSE(palDvd->halfWidth);
    EXPECT_EQ(palDvd->soundRate, 48000);
    EXPECT_EQ(palDvd->authoringTool, AuthoringTool::dvdauthor);
    EXPECT_EQ(FindShape(*FindDiscFormat(formatVcd, standardNtsc), DisplayShape::sixteenByNine), nullptr)
        << "no 16:9 VCD";
    EXPECT_EQ(FindDiscFormat(2, standardPal), nullptr);
}

TEST(DiscFormatTable, OnlyDvdsHaveAHalfWidthFrameOfTheSameDiscInBothShapes)
{
    for (const int standard : {standardNtsc, standardPal}) {
        const DiscFormat* usual = FindDiscFormat(formatDvd, standard);
        const DiscFormat* half = FindHalfWidthFormat(formatDvd, standard);
        ASSERT_NE(half, nullptr) << standard;
        EXPECT_TRUE(half->halfWidth);
        EXPECT_EQ(half->width, 352);
        EXPECT_EQ(half->height, standard == standardPal ? 576 : 480);
        EXPECT_EQ(half->frameRate, usual->frameRate);
        EXPECT_EQ(half->soundCoder, usual->soundCoder);
        EXPECT_EQ(half->videoMaxRate, usual->videoMaxRate);
        EXPECT_EQ(half->muxRate, usual->muxRate);
        ASSERT_EQ(half->shapeCount, 2);
        EXPECT_EQ(half->shapes[1].shape, DisplayShape::sixteenByNine);
        EXPECT_FALSE(half->shapes[1].onlyWhenAsked);
        EXPECT_EQ(FindFrameFormat(formatDvd, standard, 352, half->height), half);
        EXPECT_EQ(FindFrameFormat(formatDvd, standard, 720, half->height), usual);
        EXPECT_EQ(FindFrameFormat(formatDvd, standard, 704, half->height), nullptr);
    }
    // 720 / 352 times the full frame's pixel: both frames show whole at their shape.
    EXPECT_EQ(FindHalfWidthFormat(formatDvd, standardPal)->shapes[0].pixel, (Ratio{24, 11}));
    EXPECT_EQ(FindHalfWidthFormat(formatDvd, standardNtsc)->shapes[1].pixel, (Ratio{80, 33}));
    EXPECT_EQ(FindHalfWidthFormat(formatSvcd, standardPal), nullptr);
    EXPECT_EQ(FindHalfWidthFormat(formatVcd, standardNtsc), nullptr);
    EXPECT_EQ(FindFrameFormat(formatVcd, standardPal, 352, 288), FindDiscFormat(formatVcd, standardPal));
    // The encoder's format codes keep meaning the usual frame.
    EXPECT_EQ(DecodeFormatCode(4 + 16)->disc->width, 720);
}

TEST(DiscFormatTable, AutomaticMakesWideDvdsOfWideSourcesOnlyAndAChoiceIsKeptWhereTheDiscHasIt)
{
    const DiscFormat& dvd = *FindDiscFormat(formatDvd, standardNtsc);
    const DiscFormat& svcd = *FindDiscFormat(formatSvcd, standardNtsc);
    const DiscFormat& vcd = *FindDiscFormat(formatVcd, standardNtsc);
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::automatic, 16.0 / 9.0), DisplayShape::sixteenByNine);
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::automatic, 1.85), DisplayShape::sixteenByNine);
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::automatic, 1.5), DisplayShape::fourByThree) << "3:2 itself stays 4:3";
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::automatic, 4.0 / 3.0), DisplayShape::fourByThree);
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::automatic, 0), DisplayShape::fourByThree) << "no size known";
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::fourByThree, 2.35), DisplayShape::fourByThree);
    EXPECT_EQ(ResolveShape(dvd, ShapeChoice::sixteenByNine, 1.0), DisplayShape::sixteenByNine);
    EXPECT_EQ(ResolveShape(svcd, ShapeChoice::automatic, 16.0 / 9.0), DisplayShape::fourByThree)
        << "SVCD letterboxes unless asked";
    EXPECT_EQ(ResolveShape(svcd, ShapeChoice::sixteenByNine, 16.0 / 9.0), DisplayShape::sixteenByNine);
    EXPECT_EQ(ResolveShape(vcd, ShapeChoice::sixteenByNine, 16.0 / 9.0), DisplayShape::fourByThree);
}

TEST(DiscFormatTable, FormatCodesCarryTheStandardAndTheShape)
{
    EXPECT_EQ(EncoderFormatCode(formatDvd, standardPal, DisplayShape::sixteenByNine), 4 + 16 + 32);
    EXPECT_EQ(EncoderFormatCode(formatVcd, standardNtsc, DisplayShape::fourByThree), 1);
    const std::optional<FormatCodeParts> wide = DecodeFormatCode(4 + 32);
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->disc->height, 480);
    EXPECT_EQ(wide->shape->pixel, (Ratio{32, 27}));
    EXPECT_FALSE(DecodeFormatCode(1 + 32).has_value()) << "no 16:9 VCD";
    EXPECT_FALSE(DecodeFormatCode(4 + 64).has_value());
    EXPECT_FALSE(DecodeFormatCode(-4).has_value());
}

TEST(FrameShape, EachInputGetsTheShapeAndPixelsOfItsFrames)
{
    ConversionSettings settings;
    settings.outputFormat = formatDvd;
    settings.tvStandard = standardPal;
    InputEntry dv;
    dv.width = 720;
    dv.height = 576;
    dv.sourcePixel = {64, 45};
    InputEntry vga;
    vga.width = 640;
    vga.height = 480;
    EXPECT_DOUBLE_EQ(SourceAspect(dv), 16.0 / 9.0);
    EXPECT_EQ(InputShape(settings, dv), DisplayShape::sixteenByNine);
    EXPECT_EQ(InputShape(settings, vga), DisplayShape::fourByThree);
    settings.shapeChoice = ShapeChoice::fourByThree;
    EXPECT_EQ(InputShape(settings, dv), DisplayShape::fourByThree);

    // The disc's own size takes the disc's pixels; any other size square ones.
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::sixteenByNine, 720, 576), (Ratio{64, 45}));
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::fourByThree, 720, 576), (Ratio{16, 15}));
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::sixteenByNine, 720, 480), (Ratio{1, 1}));
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::fourByThree, 176, 144), (Ratio{1, 1}));
    // The half-width frame's pixels are about twice as wide.
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::fourByThree, 352, 576), (Ratio{24, 11}));
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::sixteenByNine, 352, 576), (Ratio{32, 11}));
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::fourByThree, 352, 288), (Ratio{1, 1})) << "a VCD's frame";
    settings.outputFormat = 2;
    EXPECT_EQ(FramePixelShape(settings, DisplayShape::fourByThree, 720, 576), (Ratio{1, 1})) << "no disc";
    settings.outputFormat = formatDvd;

    PictureOptions options;
    options.outputWidth = 720;
    options.outputHeight = 576;
    const FitRequest request
        = FitRequestForInput(settings, DisplayShape::sixteenByNine, dv.sourcePixel, options, FitRounding::down);
    EXPECT_EQ(request.framePixel, (Ratio{64, 45}));
    EXPECT_EQ(request.sourcePixel, (Ratio{64, 45}));
    EXPECT_EQ(request.rounding, FitRounding::down);
    EXPECT_EQ(request.targetWidth, 720);
}

} // namespace
} // namespace discforge
