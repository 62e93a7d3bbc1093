#include "support/PictureSubtitleClips.h"

#include "support/StreamChecks.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace discforge::test {
namespace {

constexpr std::size_t packBytes = 2048;

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool Ran(const std::string& command, std::string& log)
{
    const CommandResult result = RunCommand(command);
    if (result.exitCode != 0) {
        log += command + "\n" + result.output;
    }
    return result.exitCode == 0;
}

std::string SpuTime(int ms)
{
    char text[32];
    std::snprintf(
        text, sizeof text, "%02d:%02d:%02d.%02d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000 / 10);
    return text;
}

std::string IdxTime(int ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}

unsigned Byte(const std::string& bytes, std::size_t at) { return static_cast<unsigned char>(bytes[at]); }

void Put16(std::string& out, int value)
{
    out += static_cast<char>(value >> 8 & 0xff);
    out += static_cast<char>(value & 0xff);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, static_cast<int>(value >> 16));
    Put16(out, static_cast<int>(value & 0xffff));
}

void Segment(std::string& out, int ms, int type, const std::string& payload)
{
    out += "PG";
    Put32(out, static_cast<std::uint32_t>(ms) * 90);
    Put32(out, 0);
    out += static_cast<char>(type);
    Put16(out, static_cast<int>(payload.size()));
    out += payload;
}

// A run of `length` pixels of colour `colour` in PGS's run-length code.
void Run(std::string& out, int colour, int length)
{
    out += '\0';
    const int longFlag = length >= 64 ? 0x40 : 0;
    const int colourFlag = colour != 0 ? 0x80 : 0;
    if (longFlag != 0) {
        out += static_cast<char>(colourFlag | longFlag | length >> 8);
        out += static_cast<char>(length & 0xff);
    } else {
        out += static_cast<char>(colourFlag | length);
    }
    if (colour != 0) {
        out += static_cast<char>(colour);
    }
}

// Colour 1 is the fill, 2 the band.
std::string BoxRows(const BoxCue& cue)
{
    std::string rle;
    const int width = cue.width + 2 * cue.band;
    for (int row = 0; row < cue.height + 2 * cue.band; ++row) {
        if (row < cue.band || row >= cue.band + cue.height) {
            Run(rle, 2, width);
        } else {
            Run(rle, 2, cue.band);
            Run(rle, 1, cue.width);
            Run(rle, 2, cue.band);
        }
        rle += std::string(2, '\0');
    }
    return rle;
}

std::string Composition(int width, int height, int number, const BoxCue* cue)
{
    std::string pcs;
    Put16(pcs, width);
    Put16(pcs, height);
    pcs += '\x10';
    Put16(pcs, number);
    pcs += cue != nullptr ? '\x80' : '\0';
    pcs += std::string(2, '\0');
    pcs += static_cast<char>(cue != nullptr ? 1 : 0);
    if (cue != nullptr) {
        Put16(pcs, 0);
        pcs += std::string(2, '\0');
        Put16(pcs, cue->x - cue->band);
        Put16(pcs, cue->y - cue->band);
    }
    return pcs;
}

std::string Window(const BoxCue& cue)
{
    std::string wds(2, '\0');
    wds[0] = '\x01';
    Put16(wds, cue.x - cue.band);
    Put16(wds, cue.y - cue.band);
    Put16(wds, cue.width + 2 * cue.band);
    Put16(wds, cue.height + 2 * cue.band);
    return wds;
}

// An expression of ffmpeg's geq: 255 within the box grown by `grow` on each side, else 0.
std::string Within(int x, int y, int width, int height, int grow)
{
    return "255*between(X," + std::to_string(x - grow) + "," + std::to_string(x + width + grow - 1) + ")*between(Y,"
        + std::to_string(y - grow) + "," + std::to_string(y + height + grow - 1) + ")";
}

} // namespace

bool MakeSubpictureStream(
    const std::string& folder, const std::string& path, int seconds, const std::vector<BoxCue>& cues, std::string& log)
{
    const std::string video = folder + "/picture-only.mpg";
    if (!Ran("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=720x576:rate=25:duration="
                + std::to_string(seconds) + " -c:v mpeg2video -b:v 2M -f dvd " + Quoted(video),
            log)) {
        return false;
    }
    std::string project = "<subpictures format=\"PAL\"><stream>\n";
    for (std::size_t i = 0; i < cues.size(); ++i) {
        const BoxCue& cue = cues[i];
        const std::string png = folder + "/cue" + std::to_string(i) + ".png";
        // White inside the box, opaque over the box and its band, transparent elsewhere.
        const std::string inside = Within(cue.x, cue.y, cue.width, cue.height, 0);
        const std::string covered = Within(cue.x, cue.y, cue.width, cue.height, cue.band);
        if (!Ran("ffmpeg -v error -nostdin -y -f lavfi -i \"color=c=black:size=720x576,format=rgba,geq=r='" + inside
                    + "':g='" + inside + "':b='" + inside + "':a='" + covered + "'\" -frames:v 1 " + Quoted(png),
                log)) {
            return false;
        }
        project += "<spu start=\"" + SpuTime(cue.startMs) + "\" end=\"" + SpuTime(cue.endMs) + "\" image=\"" + png
            + "\"/>\n";
    }
    project += "</stream></subpictures>\n";
    const std::string projectPath = folder + "/boxes.xml";
    std::ofstream(projectPath) << project;
    // spumux tells its progress on standard error, which must stay out of the stream it writes.
    const std::string spumuxLog = folder + "/spumux.log";
    if (!Ran("(spumux -s 0 " + Quoted(projectPath) + " < " + Quoted(video) + " > " + Quoted(path) + " 2> "
                + Quoted(spumuxLog) + ")",
            log)) {
        log += ReadAll(spumuxLog);
        return false;
    }
    return true;
}

bool MakeMatroskaCopy(const std::string& stream, const std::string& path, const std::string& language, std::string& log)
{
    return Ran("ffmpeg -v error -nostdin -y -fflags +genpts -i " + Quoted(stream)
            + " -map 0:v -map 0:s -c copy -metadata:s:s:0 language=" + language + " " + Quoted(path),
        log);
}

bool MakeVobSubPair(const std::string& stream, const std::string& stem, const std::vector<BoxCue>& cues,
    const std::string& language, const std::vector<std::string>& palette, std::string& log)
{
    const std::string bytes = ReadAll(stream);
    std::string sub;
    std::vector<std::size_t> starts;
    for (std::size_t pack = 0; pack + packBytes <= bytes.size(); pack += packBytes) {
        if (bytes.compare(pack, 4, std::string("\0\0\1\xba", 4)) != 0) {
            log += "no pack header at " + std::to_string(pack) + "\n";
            return false;
        }
        const std::size_t pes = pack + 14 + (Byte(bytes, pack + 13) & 7);
        if (bytes.compare(pes, 4, std::string("\0\0\1\xbd", 4)) != 0
            || Byte(bytes, pes + 9 + Byte(bytes, pes + 8)) != 0x20) {
            continue;
        }
        // A subpicture's first pack carries its presentation time.
        if ((Byte(bytes, pes + 7) & 0x80) != 0) {
            starts.push_back(sub.size());
        }
        sub += bytes.substr(pack, packBytes);
    }
    if (starts.size() != cues.size()) {
        log += "found " + std::to_string(starts.size()) + " subpictures for " + std::to_string(cues.size()) + " cues\n";
        return false;
    }
    std::ofstream(stem + ".sub", std::ios::binary) << sub;
    std::string index = "# VobSub index file, v7 (do not modify this line!)\nsize: 720x576\npalette: ";
    for (std::size_t i = 0; i < palette.size(); ++i) {
        index += (i == 0 ? "" : ", ") + palette[i];
    }
    index += "\n\nid: " + language + ", index: 0\n";
    for (std::size_t i = 0; i < cues.size(); ++i) {
        char position[16];
        std::snprintf(position, sizeof position, "%09zx", starts[i]);
        index += "timestamp: " + IdxTime(cues[i].startMs) + ", filepos: " + position + "\n";
    }
    std::ofstream(stem + ".idx", std::ios::binary) << index;
    return true;
}

std::string PgsStream(int width, int height, const std::vector<BoxCue>& cues, int fillAlpha)
{
    std::string out;
    int number = 0;
    for (const BoxCue& cue : cues) {
        Segment(out, cue.startMs, 0x16, Composition(width, height, number++, &cue));
        Segment(out, cue.startMs, 0x17, Window(cue));
        // Palette 0, version 0: white and black in BT.601/709 studio range (both agree on greys).
        std::string pds(2, '\0');
        pds += std::string{'\x01', '\xeb', '\x80', '\x80', static_cast<char>(fillAlpha)};
        pds += std::string{'\x02', '\x10', '\x80', '\x80', '\xff'};
        Segment(out, cue.startMs, 0x14, pds);
        const std::string rle = BoxRows(cue);
        std::string ods(2, '\0');
        ods += '\0';
        ods += '\xc0';
        const auto length = static_cast<std::uint32_t>(rle.size() + 4);
        ods += static_cast<char>(length >> 16 & 0xff);
        Put16(ods, static_cast<int>(length & 0xffff));
        Put16(ods, cue.width + 2 * cue.band);
        Put16(ods, cue.height + 2 * cue.band);
        ods += rle;
        Segment(out, cue.startMs, 0x15, ods);
        Segment(out, cue.startMs, 0x80, {});
        Segment(out, cue.endMs, 0x16, Composition(width, height, number++, nullptr));
        Segment(out, cue.endMs, 0x17, Window(cue));
        Segment(out, cue.endMs, 0x80, {});
    }
    return out;
}

} // namespace discforge::test
