#include "StreamChecks.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/wait.h>

extern "C" {
#include <libavformat/avformat.h>
}

namespace discforge::test {
namespace {

// Authoring tools mark every complaint with WARN or ERR.
bool Complains(const std::string& log)
{
    return log.find("WARN") != std::string::npos || log.find("ERR") != std::string::npos;
}

void ReadStreams(const std::string& path, ProbedFile& file, std::string& error)
{
    const CommandResult result = RunCommand("ffprobe -v error -count_frames -show_streams " + Quoted(path));
    if (result.exitCode != 0) {
        error = result.output;
        return;
    }
    std::istringstream lines(result.output);
    std::string line;
    ProbeFields section;
    while (std::getline(lines, line)) {
        if (line == "[/STREAM]") {
            if (section["codec_type"] == "video") {
                file.video = section;
                ++file.videoStreams;
            } else if (section["codec_type"] == "audio") {
                file.audio = section;
                ++file.audioStreams;
            }
            section.clear();
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            section[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
}

void ReadExtents(const std::string& path, ProbedFile& file, std::string& error)
{
    const CommandResult result = RunCommand("ffprobe -v error -show_entries packet=codec_type,pts_time,duration_time "
                                            "-of csv=p=0 " + Quoted(path));
    if (result.exitCode != 0) {
        error = result.output;
        return;
    }
    constexpr double none = std::numeric_limits<double>::max();
    double starts[2] = {none, none};
    double ends[2] = {-none, -none};
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string type, pts, duration;
        std::getline(fields, type, ',');
        std::getline(fields, pts, ',');
        std::getline(fields, duration, ',');
        if (pts.empty() || pts == "N/A") {
            continue;
        }
        const int index = type == "video" ? 0 : 1;
        const double start = std::atof(pts.c_str());
        starts[index] = std::min(starts[index], start);
        ends[index] = std::max(ends[index], start + std::atof(duration.c_str()));
    }
    file.videoStart = starts[0];
    file.videoEnd = ends[0];
    file.audioStart = starts[1];
    file.audioEnd = ends[1];
}

// The bits of a sequence or GOP header, read from the byte after the start code.
struct Bits {
    const uint8_t* data;
    int size;
    int position = 0;
    unsigned Read(int count)
    {
        unsigned value = 0;
        for (int i = 0; i < count; ++i, ++position) {
            const int byte = position / 8;
            const unsigned bit = byte < size ? (data[byte] >> (7 - position % 8)) & 1u : 0u;
            value = (value << 1) | bit;
        }
        return value;
    }
};

} // namespace

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

CommandResult RunCommand(const std::string& command)
{
    CommandResult result;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), got);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ProbedFile Probe(const std::string& path, std::string& error)
{
    ProbedFile file;
    ReadStreams(path, file, error);
    if (error.empty()) {
        ReadExtents(path, file, error);
    }
    return file;
}

PictureStreamFacts ReadPictureStream(const std::string& path, std::string& error)
{
    PictureStreamFacts facts;
    // The navigation packs of a DVD stream carry no time; FFmpeg's remark on that is noise here.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(input, nullptr) < 0) {
        error = "cannot open " + path;
        avformat_close_input(&input);
        return facts;
    }
    const int video = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVPacket* packet = av_packet_alloc();
    int picturesInGop = 0;
    bool first = true;
    while (video >= 0 && av_read_frame(input, packet) >= 0) {
        if (packet->stream_index != video) {
            av_packet_unref(packet);
            continue;
        }
        const uint8_t* data = packet->data;
        const int size = packet->size;
        bool gopStarts = false;
        bool sequenceHeader = false;
        // Picture start codes count pictures; sequence and GOP headers open a GOP.
        int pictures = 0;
        for (int i = 0; i + 4 <= size; ++i) {
            if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) {
                continue;
            }
            const uint8_t code = data[i + 3];
            Bits bits{data + i + 4, size - i - 4};
            if (code == 0xB3) {
                sequenceHeader = true;
                bits.Read(24); // picture size
                facts.aspectCode = static_cast<int>(bits.Read(4));
                facts.frameRateCode = static_cast<int>(bits.Read(4));
                facts.bitRateField = static_cast<int>(bits.Read(18));
                bits.Read(1);
                facts.vbvSizeField = static_cast<int>(bits.Read(10));
            } else if (code == 0xB8) {
                gopStarts = true;
                bits.Read(25); // time code
                facts.closedGops += static_cast<int>(bits.Read(1));
            } else if (code == 0x00) {
                ++pictures;
            }
        }
        if (first) {
            facts.firstPictureOpensGop = gopStarts && sequenceHeader;
            first = false;
        }
        if (gopStarts) {
            ++facts.gops;
            facts.gopsWithSequenceHeader += sequenceHeader ? 1 : 0;
            picturesInGop = 0;
        }
        facts.endsWithSequenceEnd = size >= 4 && data[size - 4] == 0 && data[size - 3] == 0 && data[size - 2] == 1 &&
                                    data[size - 1] == 0xB7;
        picturesInGop += pictures;
        facts.longestGop = std::max(facts.longestGop, picturesInGop);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&input);
    return facts;
}

bool PassesDvdauthor(const std::string& mpegPath, bool pal, const std::string& workFolder, std::string& log)
{
    const std::string xmlPath = workFolder + "/dvd.xml";
    const std::string format = pal ? "pal" : "ntsc";
    std::ofstream xml(xmlPath);
    xml << "<dvdauthor dest=\"" << workFolder << "/dvd\">\n"
        << "  <vmgm/>\n"
        << "  <titleset><titles><video format=\"" << format << "\"/>\n"
        << "    <pgc><vob file=\"" << mpegPath << "\"/></pgc>\n"
        << "  </titles></titleset>\n"
        << "</dvdauthor>\n";
    xml.close();
    RunCommand("rm -rf " + Quoted(workFolder + "/dvd"));
    const CommandResult result =
        RunCommand("VIDEO_FORMAT=" + std::string(pal ? "PAL" : "NTSC") + " dvdauthor -x " + Quoted(xmlPath));
    log = result.output;
    return result.exitCode == 0 && !Complains(log);
}

bool PassesVcdimager(const std::string& mpegPath, const std::string& type, const std::string& workFolder,
                     std::string& log)
{
    const std::string image = workFolder + "/" + type;
    RunCommand("rm -f " + Quoted(image + ".cue") + " " + Quoted(image + ".bin"));
    const CommandResult result = RunCommand("vcdimager -t " + type + " -c " + Quoted(image + ".cue") + " -b " +
                                            Quoted(image + ".bin") + " " + Quoted(mpegPath));
    log = result.output;
    return result.exitCode == 0 && !Complains(log);
}

} // namespace discforge::test
