#include "input/InputRecord.h"

#include "InputTestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace discforge {
namespace {

std::uint64_t At(const InputRecord& record, std::size_t offset, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{record[offset + static_cast<std::size_t>(i)]} << (8 * i);
    }
    return value;
}

std::string TextAt(const InputRecord& record, std::size_t offset)
{
    return reinterpret_cast<const char*>(record.data() + offset);
}

// Every field with a value of its own, and every pointer-like member in use.
InputEntry FilledEntry(const test::ScratchFolder& folder)
{
    InputEntry entry;
    entry.path = "/videos/holiday.avi";
    entry.outputPath = "/videos/holiday.mpg";
    entry.listDirectory = "/pictures/";
    entry.surfaceLayout.size = 108;
    entry.surfaceLayout.flags = 0x1007;
    entry.surfaceLayout.pitch = 2560;
    entry.surfaceLayout.pixelFormat = {32, 0x40, 0x11223344, 32, 0xFF0000, 0xFF00, 0xFF, 0x5A5A5A5A};
    entry.surfaceLayout.caps = 0x840;
    entry.width = 640;
    entry.height = 480;
    entry.waveFormat = {1, 2, 44100, 176400, 4, 16, 7};
    entry.hasAudio = true;
    entry.isVideoFile = true;
    entry.pictureOptions = PictureOptions{FitMode::crop, true, true, 11, 12, 13, 14, 720, 576};
    entry.selectionStart = 15;
    entry.selectionEnd = 16;
    entry.firstFrame = 17;
    entry.lastFrame = 18;
    entry.openMarker = 1;
    entry.audioSelectionStart = 19;
    entry.position = -20;
    entry.totalFrames = 0xFFFFFFF0u;
    entry.selectedFrames = 22;
    entry.sourceBits = 32;
    entry.totalSamples = 23;
    entry.samplesPerFrame = 24;
    entry.selectedSamples = 25;
    entry.bytesPerSample = 4;
    entry.audioBytesPerFrame = 26;
    entry.frameRate = 29.97;
    entry.timePerFrame = 333667;
    entry.duration = 0x123456789ALL;
    entry.timePerSample = 226.75736961451247;
    entry.targetSampleRate = 48000;
    entry.convertedBytesPerFrame = 7680;
    entry.audioBuffer.assign(64, 0xEE);
    entry.convertedBuffer.assign(64, 0xDD);
    EXPECT_TRUE(entry.listFile.Open(folder.WriteText("open.lst", "a.bmp\n")));
    return entry;
}

TEST(InputRecord, PutsEveryFieldAtItsOffset)
{
    const test::ScratchFolder folder;
    const InputRecord r = EncodeInputRecord(FilledEntry(folder));

    EXPECT_EQ(TextAt(r, 0), "/videos/holiday.avi");
    EXPECT_EQ(TextAt(r, 260), "/videos/holiday.mpg");
    EXPECT_EQ(TextAt(r, 520), "/pictures/");
    EXPECT_EQ(At(r, 824, 4), 108u);
    EXPECT_EQ(At(r, 828, 4), 0x1007u);
    EXPECT_EQ(At(r, 832, 4), 480u);
    EXPECT_EQ(At(r, 836, 4), 640u);
    EXPECT_EQ(At(r, 840, 4), 2560u);
    EXPECT_EQ(At(r, 896, 4), 32u);
    EXPECT_EQ(At(r, 900, 4), 0x40u);
    EXPECT_EQ(At(r, 904, 4), 0x11223344u);
    EXPECT_EQ(At(r, 908, 4), 32u);
    EXPECT_EQ(At(r, 912, 4), 0xFF0000u);
    EXPECT_EQ(At(r, 916, 4), 0xFF00u);
    EXPECT_EQ(At(r, 920, 4), 0xFFu);
    EXPECT_EQ(At(r, 924, 4), 0x5A5A5A5Au);
    EXPECT_EQ(At(r, 928, 4), 0x840u);
    EXPECT_EQ(At(r, 932, 2), 1u);
    EXPECT_EQ(At(r, 934, 2), 2u);
    EXPECT_EQ(At(r, 936, 4), 44100u);
    EXPECT_EQ(At(r, 940, 4), 176400u);
    EXPECT_EQ(At(r, 944, 2), 4u);
    EXPECT_EQ(At(r, 946, 2), 16u);
    EXPECT_EQ(At(r, 948, 2), 7u);
    // hasAudio, isVideoFile, deinterlace, invert, fitCrop set; fitProportional, fitFillIn clear
    const std::uint8_t flags[] = {1, 1, 1, 1, 1, 0, 0};
    for (std::size_t i = 0; i < std::size(flags); ++i) {
        EXPECT_EQ(r[956 + i], flags[i]) << "flag at " << 956 + i;
    }
    const std::uint32_t ints[] = {11, 12, 13, 14, 15, 16, 17, 18, 1, 19, static_cast<std::uint32_t>(-20),
                                  0xFFFFFFF0u, 22, 32, 23, 24, 25, 4, 26, 720, 576};
    for (std::size_t i = 0; i < std::size(ints); ++i) {
        EXPECT_EQ(At(r, 964 + 4 * i, 4), ints[i]) << "int at " << 964 + 4 * i;
    }
    EXPECT_EQ(std::bit_cast<double>(At(r, 1048, 8)), 29.97);
    EXPECT_EQ(At(r, 1064, 8), 333667u);
    EXPECT_EQ(At(r, 1072, 8), 0x123456789Au);
    EXPECT_EQ(std::bit_cast<double>(At(r, 1080, 8)), 226.75736961451247);
    EXPECT_EQ(At(r, 1088, 4), 48000u);
    EXPECT_EQ(At(r, 1092, 4), 7680u);
}

TEST(InputRecord, WritesZerosWherePointersHandlesAndPaddingWere)
{
    const test::ScratchFolder folder;
    const InputRecord r = EncodeInputRecord(FilledEntry(folder));
    // stream objects, the surface's unused members and its pixel pointer,
    // colour keys, wave padding, list file, flag padding, buffers and padding
    const std::pair<std::size_t, std::size_t> zeroRanges[] = {
        {780, 824}, {844, 896}, {950, 952}, {952, 956}, {963, 964}, {1056, 1064}, {1096, 1104}};
    for (const auto& [begin, end] : zeroRanges) {
        for (std::size_t offset = begin; offset < end; ++offset) {
            EXPECT_EQ(r[offset], 0) << "byte " << offset;
        }
    }
    // the rest of each text array after its terminator
    for (std::size_t offset = 19; offset < 260; ++offset) {
        EXPECT_EQ(r[offset], 0) << "path byte " << offset;
    }
}

TEST(InputRecord, DecodesBackToTheSameRecord)
{
    const test::ScratchFolder folder;
    const InputEntry original = FilledEntry(folder);
    const InputRecord record = EncodeInputRecord(original);
    const InputEntry decoded = DecodeInputRecord(record);

    EXPECT_EQ(EncodeInputRecord(decoded), record);
    EXPECT_EQ(decoded.path, original.path);
    EXPECT_EQ(decoded.outputPath, original.outputPath);
    EXPECT_EQ(decoded.listDirectory, original.listDirectory);
    EXPECT_EQ(decoded.width, 640);
    EXPECT_EQ(decoded.height, 480);
    EXPECT_EQ(decoded.waveFormat.sampleRate, 44100u);
    EXPECT_EQ(decoded.waveFormat.extraSize, 7);
    EXPECT_EQ(decoded.surfaceLayout.pixelFormat.alphaMask, 0x5A5A5A5Au);
    EXPECT_TRUE(decoded.pictureOptions.invert);
    EXPECT_TRUE(decoded.pictureOptions.deinterlace);
    EXPECT_EQ(decoded.pictureOptions.fitting, FitMode::crop);
    EXPECT_EQ(decoded.pictureOptions.cropHeight, 14);
    EXPECT_EQ(decoded.pictureOptions.outputWidth, 720);
    EXPECT_EQ(decoded.position, -20);
    EXPECT_EQ(decoded.totalFrames, 0xFFFFFFF0u);
    EXPECT_EQ(decoded.frameRate, 29.97);
    EXPECT_EQ(decoded.duration, 0x123456789ALL);
    EXPECT_EQ(decoded.convertedBytesPerFrame, 7680);
    // What pointed into this process does not come back.
    EXPECT_FALSE(decoded.listFile.IsOpen());
    EXPECT_EQ(decoded.streams, nullptr);
    EXPECT_TRUE(decoded.audioBuffer.empty());
    EXPECT_TRUE(decoded.convertedBuffer.empty());
}

TEST(InputRecord, KeepsTextsWithinTheirArrays)
{
    InputEntry entry;
    entry.path = std::string(300, 'p');
    entry.outputPath = std::string(259, 'o');
    const InputRecord record = EncodeInputRecord(entry);
    EXPECT_EQ(record[259], 0);
    EXPECT_EQ(record[519], 0);
    const InputEntry decoded = DecodeInputRecord(record);
    EXPECT_EQ(decoded.path, std::string(259, 'p'));
    EXPECT_EQ(decoded.outputPath, std::string(259, 'o'));

    // A record from a file whose text has no terminator is read up to its array.
    InputRecord unterminated = record;
    std::memset(unterminated.data() + 520, 'd', 260);
    EXPECT_EQ(DecodeInputRecord(unterminated).listDirectory, std::string(259, 'd'));
}

TEST(InputRecord, TheFittingIsExactlyOneOfItsThreeFlags)
{
    struct Case {
        FitMode fitting;
        std::uint8_t crop, proportional, fillIn; // bytes 960, 961, 962
    };
    const Case cases[] = {{FitMode::crop, 1, 0, 0}, {FitMode::proportional, 0, 1, 0}, {FitMode::fillIn, 0, 0, 1}};
    for (const Case& c : cases) {
        InputEntry entry;
        entry.pictureOptions.fitting = c.fitting;
        const InputRecord record = EncodeInputRecord(entry);
        EXPECT_EQ(record[960], c.crop);
        EXPECT_EQ(record[961], c.proportional);
        EXPECT_EQ(record[962], c.fillIn);
        EXPECT_EQ(DecodeInputRecord(record).pictureOptions.fitting, c.fitting);
    }
}

TEST(InputRecord, AForeignRecordsFlagsReadAsTheFramesWereAlwaysFitted)
{
    // No flag: proportional. Several: fill-in before crop before proportional.
    struct Case {
        std::uint8_t crop, proportional, fillIn;
        FitMode fitting;
    };
    const Case cases[] = {{0, 0, 0, FitMode::proportional}, {1, 1, 1, FitMode::fillIn}, {1, 1, 0, FitMode::crop},
        {0, 1, 1, FitMode::fillIn}};
    for (const Case& c : cases) {
        InputRecord record{};
        record[960] = c.crop;
        record[961] = c.proportional;
        record[962] = c.fillIn;
        EXPECT_EQ(DecodeInputRecord(record).pictureOptions.fitting, c.fitting)
            << int{c.crop} << int{c.proportional} << int{c.fillIn};
    }
}

TEST(InputRecord, DefaultEntryIsZeroBytesButItsProportionalFitting)
{
    const InputRecord record = EncodeInputRecord(InputEntry{});
    for (std::size_t offset = 0; offset < record.size(); ++offset) {
        ASSERT_EQ(record[offset], offset == 961 ? 1 : 0) << "byte " << offset;
    }
}

} // namespace
} // namespace discforge
