// ImageSource: one still picture held for a number of frames, or a numbered
// sequence of pictures ("img%04d.png") read through the picture-sequence
// demuxer, one frame per file.
#include "script/AvsFunctions.h"

#include <cctype>

namespace discforge {
namespace {

// A name with one number in it: "%d" or "%0Nd" marks the number, "%%" is a
// percent sign. The picture-sequence demuxer pads every width with zeros,
// so a width without the zero is refused rather than read differently.
struct NumberedName {
    std::string before;
    int digits = 0;
    std::string after;

    std::string With(std::int64_t number) const
    {
        std::string text = std::to_string(number);
        if (text.size() < static_cast<std::size_t>(digits)) {
            text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
        }
        return before + text + after;
    }
};

// False with `fault` when the name holds a "%" that is not one number.
bool ReadNumberedName(const std::string& name, NumberedName& numbered, std::string& fault)
{
    bool found = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        std::string& part = found ? numbered.after : numbered.before;
        if (name[i] != '%') {
            part += name[i];
            continue;
        }
        if (i + 1 < name.size() && name[i + 1] == '%') {
            part += '%';
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        const bool zeros = end < name.size() && name[end] == '0';
        end += zeros ? 1 : 0;
        int digits = 0;
        while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end])) && digits < 100) {
            digits = digits * 10 + (name[end++] - '0');
        }
        if (found || end >= name.size() || name[end] != 'd' || (digits > 0 && !zeros) || digits > 18) {
            fault = "the file name must hold one number written %d or %0Nd (N up to 18), and %% for a percent sign";
            return false;
        }
        found = true;
        numbered.digits = digits;
        i = end;
    }
    if (!found) {
        fault = "the file name holds no number";
        return false;
    }
    return true;
}

// The demuxer reads "%" in the rest of the path as part of its pattern.
std::string PercentsDoubled(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    return out;
}

// Far beyond any real sequence, and small enough that no count overflows.
constexpr std::int64_t largestNumber = 1'000'000'000'000'000;

std::string Rate(int numerator, int denominator)
{
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

// Every picture of frames start..end named by `given`, which must all
// exist; the clip's size is the first one's.
bool Sequence(
    AvsCall& call, const std::string& given, std::int64_t start, std::int64_t end, AvsClip& clip, std::string& movie)
{
    std::string local;
    if (!AvsLocalPath(call, given, local)) {
        return false;
    }
    // Only the script's text is read for the number; the folder put in front
    // of a relative path is taken as it is.
    const std::string folder = local.substr(0, local.size() - given.size());
    NumberedName shown;
    NumberedName file;
    std::string fault;
    if (!ReadNumberedName(given, shown, fault) || !ReadNumberedName(local.substr(folder.size()), file, fault)) {
        return call.Fail(fault);
    }
    file.before.insert(0, folder);
    for (std::int64_t number = start; number <= end; ++number) {
        if (!call.Probe().IsFile(file.With(number))) {
            return call.Fail("the picture \"" + shown.With(number) + "\" of the sequence does not exist");
        }
    }
    AvsMediaFacts facts;
    const std::string first = shown.With(start);
    if (!AvsProbeFile(call, file.With(start), {}, first, facts)) {
        return false;
    }
    if (!facts.hasVideo) {
        return call.Fail("\"" + first + "\" is not a picture");
    }
    clip.width = facts.width;
    clip.height = facts.height;
    const std::string pattern
        = PercentsDoubled(file.before) + "%0" + std::to_string(file.digits) + "d" + PercentsDoubled(file.after);
    // Pictures of another size than the first are brought to its size.
    movie = "movie=filename=" + AvsFilterValue(pattern)
        + ":f=image2:format_opts=" + AvsFilterValue("pattern_type=sequence:start_number=" + std::to_string(start))
        + ",scale=w=" + std::to_string(clip.width) + ":h=" + std::to_string(clip.height);
    return true;
}

bool Still(AvsCall& call, const std::string& given, AvsClip& clip, std::string& movie)
{
    std::string path;
    AvsMediaFacts facts;
    if (!AvsResolvePath(call, given, path) || !AvsProbeFile(call, path, {}, given, facts)) {
        return false;
    }
    if (!facts.hasVideo) {
        return call.Fail("\"" + given + "\" is not a picture");
    }
    clip.width = facts.width;
    clip.height = facts.height;
    movie = "movie=filename=" + AvsFilterValue(path) + ":loop=0";
    return true;
}

} // namespace

// use_DevIL chose another picture decoder; every picture reads the same here.
bool AvsImageSource(AvsCall& call, AvsValue& result)
{
    const std::string given = call.String(0, "");
    const std::int64_t start = call.Int(1, 0);
    const std::int64_t end = call.Int(2, 1000);
    if (call.Bool(5, false)) {
        return call.Fail("showing the picture's facts (info=true) is not supported");
    }
    const std::string pixelType = call.String(6, "RGB24");
    if (pixelType != "RGB24" && pixelType != "RGB32") {
        return call.Fail("the pixel type \"" + pixelType + "\" is not one of RGB24 and RGB32");
    }
    if (start < 0 || end > largestNumber) {
        return call.Fail("the frames " + std::to_string(start) + " to " + std::to_string(end) + " are out of range");
    }
    AvsClip clip;
    clip.hasVideo = true;
    clip.pixelType = pixelType == "RGB24" ? AvsPixelType::Rgb24 : AvsPixelType::Rgb32;
    clip.frames = end - start + 1;
    clip.fpsNumerator = 24;
    if (call.Given(3)) {
        int numerator = 0;
        int denominator = 1;
        if (!AvsFrameRate(call, 3, 99, numerator, denominator)) {
            return false;
        }
        clip.fpsNumerator = numerator;
        clip.fpsDenominator = denominator;
    }
    if (!AvsCheckedLength(call, clip.frames)) {
        return false;
    }
    std::string movie;
    const bool numbered = given.find('%') != std::string::npos;
    if (!(numbered ? Sequence(call, given, start, end, clip, movie) : Still(call, given, clip, movie))) {
        return false;
    }
    const std::string rate = Rate(clip.fpsNumerator, clip.fpsDenominator);
    clip.videoPad = call.Graph().Add(movie + ",settb=expr=" + Rate(clip.fpsDenominator, clip.fpsNumerator)
            + ",setpts=N,fps=fps=" + rate + ",trim=end_frame=" + std::to_string(clip.frames)
            + ",format=pix_fmts=" + (pixelType == "RGB24" ? "bgr24" : "bgra"),
        {}, 1, 0);
    result = clip;
    return true;
}

} // namespace discforge
