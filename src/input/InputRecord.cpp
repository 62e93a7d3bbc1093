#include "input/InputRecord.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace discforge {
namespace {

constexpr std::size_t textSize = 260;

// Byte offsets of the record's fields. The slots between them that held
// pointers and handles (780-823, 860, 952, 1056, 1096) stay zero.
namespace at {
constexpr std::size_t path = 0;
constexpr std::size_t outputPath = 260;
constexpr std::size_t listDirectory = 520;
constexpr std::size_t surfaceSize = 824;
constexpr std::size_t surfaceFlags = 828;
constexpr std::size_t height = 832;
constexpr std::size_t width = 836;
constexpr std::size_t pitch = 840;
constexpr std::size_t pixelFormat = 896; // eight 32-bit values
constexpr std::size_t caps = 928;
constexpr std::size_t formatTag = 932;
constexpr std::size_t channels = 934;
constexpr std::size_t sampleRate = 936;
constexpr std::size_t avgBytesPerSecond = 940;
constexpr std::size_t blockAlign = 944;
constexpr std::size_t bitsPerSample = 946;
constexpr std::size_t extraSize = 948;
constexpr std::size_t hasAudio = 956;
constexpr std::size_t isVideoFile = 957;
constexpr std::size_t deinterlace = 958;
constexpr std::size_t invert = 959;
constexpr std::size_t fitCrop = 960;
constexpr std::size_t fitProportional = 961;
constexpr std::size_t fitFillIn = 962;
constexpr std::size_t cropX = 964;
constexpr std::size_t cropY = 968;
constexpr std::size_t cropWidth = 972;
constexpr std::size_t cropHeight = 976;
constexpr std::size_t selectionStart = 980;
constexpr std::size_t selectionEnd = 984;
constexpr std::size_t firstFrame = 988;
constexpr std::size_t lastFrame = 992;
constexpr std::size_t openMarker = 996;
constexpr std::size_t audioSelectionStart = 1000;
constexpr std::size_t position = 1004;
constexpr std::size_t totalFrames = 1008;
constexpr std::size_t selectedFrames = 1012;
constexpr std::size_t sourceBits = 1016;
constexpr std::size_t totalSamples = 1020;
constexpr std::size_t samplesPerFrame = 1024;
constexpr std::size_t selectedSamples = 1028;
constexpr std::size_t bytesPerSample = 1032;
constexpr std::size_t audioBytesPerFrame = 1036;
constexpr std::size_t outputWidth = 1040;
constexpr std::size_t outputHeight = 1044;
constexpr std::size_t frameRate = 1048;
constexpr std::size_t timePerFrame = 1064;
constexpr std::size_t duration = 1072;
constexpr std::size_t timePerSample = 1080;
constexpr std::size_t targetSampleRate = 1088;
constexpr std::size_t convertedBytesPerFrame = 1092;
} // namespace at

class RecordWriter {
public:
    explicit RecordWriter(InputRecord& record) : record_(record) { record_.fill(0); }

    void Text(std::size_t offset, const std::string& text)
    {
        std::size_t length = std::min(text.size(), textSize - 1);
        // A name cut to fit ends before a character, not inside one.
        while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
            --length;
        }
        std::memcpy(record_.data() + offset, text.data(), length);
    }
    void Flag(std::size_t offset, bool value) { record_[offset] = value ? 1 : 0; }
    void U16(std::size_t offset, std::uint16_t value) { Bytes(offset, value, 2); }
    void U32(std::size_t offset, std::uint32_t value) { Bytes(offset, value, 4); }
    void I32(std::size_t offset, std::int32_t value) { U32(offset, static_cast<std::uint32_t>(value)); }
    void I64(std::size_t offset, std::int64_t value) { Bytes(offset, static_cast<std::uint64_t>(value), 8); }
    void F64(std::size_t offset, double value) { Bytes(offset, std::bit_cast<std::uint64_t>(value), 8); }

private:
    void Bytes(std::size_t offset, std::uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            record_[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    InputRecord& record_;
};

class RecordReader {
public:
    explicit RecordReader(const InputRecord& record) : record_(record) {}

    // Up to the terminator, which must lie within the array.
    std::string Text(std::size_t offset) const
    {
        const auto* begin = reinterpret_cast<const char*>(record_.data() + offset);
        return std::string(begin, ::strnlen(begin, textSize - 1));
    }
    bool Flag(std::size_t offset) const { return record_[offset] != 0; }
    std::uint16_t U16(std::size_t offset) const { return static_cast<std::uint16_t>(Bytes(offset, 2)); }
    std::uint32_t U32(std::size_t offset) const { return static_cast<std::uint32_t>(Bytes(offset, 4)); }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    std::int64_t I64(std::size_t offset) const { return static_cast<std::int64_t>(Bytes(offset, 8)); }
    double F64(std::size_t offset) const { return std::bit_cast<double>(Bytes(offset, 8)); }

private:
    std::uint64_t Bytes(std::size_t offset, int count) const
    {
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= std::uint64_t{record_[offset + static_cast<std::size_t>(i)]} << (8 * i);
        }
        return value;
    }

    const InputRecord& record_;
};

} // namespace

InputRecord EncodeInputRecord(const InputEntry& entry)
{
    InputRecord record;
    RecordWriter out(record);
    out.Text(at::path, entry.path);
    out.Text(at::outputPath, entry.outputPath);
    out.Text(at::listDirectory, entry.listDirectory);

    const SurfaceLayout& surface = entry.surfaceLayout;
    out.U32(at::surfaceSize, surface.size);
    out.U32(at::surfaceFlags, surface.flags);
    out.I32(at::height, entry.height);
    out.I32(at::width, entry.width);
    out.I32(at::pitch, surface.pitch);
    const std::uint32_t pixelFormat[] = {surface.pixelFormat.size,        surface.pixelFormat.flags,
                                         surface.pixelFormat.fourCC,      surface.pixelFormat.rgbBitCount,
                                         surface.pixelFormat.redMask,     surface.pixelFormat.greenMask,
                                         surface.pixelFormat.blueMask,    surface.pixelFormat.alphaMask};
    for (std::size_t i = 0; i < std::size(pixelFormat); ++i) {
        out.U32(at::pixelFormat + 4 * i, pixelFormat[i]);
    }
    out.U32(at::caps, surface.caps);

    const WaveFormat& wave = entry.waveFormat;
    out.U16(at::formatTag, wave.formatTag);
    out.U16(at::channels, wave.channels);
    out.U32(at::sampleRate, wave.sampleRate);
    out.U32(at::avgBytesPerSecond, wave.avgBytesPerSecond);
    out.U16(at::blockAlign, wave.blockAlign);
    out.U16(at::bitsPerSample, wave.bitsPerSample);
    out.U16(at::extraSize, wave.extraSize);

    const PictureOptions& options = entry.pictureOptions;
    out.Flag(at::hasAudio, entry.hasAudio);
    out.Flag(at::isVideoFile, entry.isVideoFile);
    out.Flag(at::deinterlace, options.deinterlace);
    out.Flag(at::invert, options.invert);
    out.Flag(at::fitCrop, options.fitting == FitMode::crop);
    out.Flag(at::fitProportional, options.fitting == FitMode::proportional);
    out.Flag(at::fitFillIn, options.fitting == FitMode::fillIn);

    out.I32(at::cropX, options.cropX);
    out.I32(at::cropY, options.cropY);
    out.I32(at::cropWidth, options.cropWidth);
    out.I32(at::cropHeight, options.cropHeight);
    out.I32(at::selectionStart, entry.selectionStart);
    out.I32(at::selectionEnd, entry.selectionEnd);
    out.I32(at::firstFrame, entry.firstFrame);
    out.I32(at::lastFrame, entry.lastFrame);
    out.I32(at::openMarker, entry.openMarker);
    out.I32(at::audioSelectionStart, entry.audioSelectionStart);
    out.I32(at::position, entry.position);
    out.U32(at::totalFrames, entry.totalFrames);
    out.U32(at::selectedFrames, entry.selectedFrames);
    out.I32(at::sourceBits, entry.sourceBits);
    out.I32(at::totalSamples, entry.totalSamples);
    out.I32(at::samplesPerFrame, entry.samplesPerFrame);
    out.I32(at::selectedSamples, entry.selectedSamples);
    out.I32(at::bytesPerSample, entry.bytesPerSample);
    out.I32(at::audioBytesPerFrame, entry.audioBytesPerFrame);
    out.I32(at::outputWidth, options.outputWidth);
    out.I32(at::outputHeight, options.outputHeight);
    out.F64(at::frameRate, entry.frameRate);
    out.I64(at::timePerFrame, entry.timePerFrame);
    out.I64(at::duration, entry.duration);
    out.F64(at::timePerSample, entry.timePerSample);
    out.I32(at::targetSampleRate, entry.targetSampleRate);
    out.I32(at::convertedBytesPerFrame, entry.convertedBytesPerFrame);
    return record;
}

InputEntry DecodeInputRecord(const InputRecord& record)
{
    const RecordReader in(record);
    InputEntry entry;
    entry.path = in.Text(at::path);
    entry.outputPath = in.Text(at::outputPath);
    entry.listDirectory = in.Text(at::listDirectory);

    SurfaceLayout& surface = entry.surfaceLayout;
    surface.size = in.U32(at::surfaceSize);
    surface.flags = in.U32(at::surfaceFlags);
    entry.height = in.I32(at::height);
    entry.width = in.I32(at::width);
    surface.pitch = in.I32(at::pitch);
    std::uint32_t* const pixelFormat[] = {&surface.pixelFormat.size,        &surface.pixelFormat.flags,
                                          &surface.pixelFormat.fourCC,      &surface.pixelFormat.rgbBitCount,
                                          &surface.pixelFormat.redMask,     &surface.pixelFormat.greenMask,
                                          &surface.pixelFormat.blueMask,    &surface.pixelFormat.alphaMask};
    for (std::size_t i = 0; i < std::size(pixelFormat); ++i) {
        *pixelFormat[i] = in.U32(at::pixelFormat + 4 * i);
    }
    surface.caps = in.U32(at::caps);

    WaveFormat& wave = entry.waveFormat;
    wave.formatTag = in.U16(at::formatTag);
    wave.channels = in.U16(at::channels);
    wave.sampleRate = in.U32(at::sampleRate);
    wave.avgBytesPerSecond = in.U32(at::avgBytesPerSecond);
    wave.blockAlign = in.U16(at::blockAlign);
    wave.bitsPerSample = in.U16(at::bitsPerSample);
    wave.extraSize = in.U16(at::extraSize);

    PictureOptions& options = entry.pictureOptions;
    entry.hasAudio = in.Flag(at::hasAudio);
    entry.isVideoFile = in.Flag(at::isVideoFile);
    options.deinterlace = in.Flag(at::deinterlace);
    options.invert = in.Flag(at::invert);
    // A record with no fitting flag, or more than one, means what the supply always made of it.
    options.fitting = FitModeFromFlags(in.Flag(at::fitFillIn), in.Flag(at::fitCrop));

    options.cropX = in.I32(at::cropX);
    options.cropY = in.I32(at::cropY);
    options.cropWidth = in.I32(at::cropWidth);
    options.cropHeight = in.I32(at::cropHeight);
    entry.selectionStart = in.I32(at::selectionStart);
    entry.selectionEnd = in.I32(at::selectionEnd);
    entry.firstFrame = in.I32(at::firstFrame);
    entry.lastFrame = in.I32(at::lastFrame);
    entry.openMarker = in.I32(at::openMarker);
    entry.audioSelectionStart = in.I32(at::audioSelectionStart);
    entry.position = in.I32(at::position);
    entry.totalFrames = in.U32(at::totalFrames);
    entry.selectedFrames = in.U32(at::selectedFrames);
    entry.sourceBits = in.I32(at::sourceBits);
    entry.totalSamples = in.I32(at::totalSamples);
    entry.samplesPerFrame = in.I32(at::samplesPerFrame);
    entry.selectedSamples = in.I32(at::selectedSamples);
    entry.bytesPerSample = in.I32(at::bytesPerSample);
    entry.audioBytesPerFrame = in.I32(at::audioBytesPerFrame);
    options.outputWidth = in.I32(at::outputWidth);
    options.outputHeight = in.I32(at::outputHeight);
    entry.frameRate = in.F64(at::frameRate);
    entry.timePerFrame = in.I64(at::timePerFrame);
    entry.duration = in.I64(at::duration);
    entry.timePerSample = in.F64(at::timePerSample);
    entry.targetSampleRate = in.I32(at::targetSampleRate);
    entry.convertedBytesPerFrame = in.I32(at::convertedBytesPerFrame);
    return entry;
}

} // namespace discforge
