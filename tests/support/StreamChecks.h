// Looks at encoder outputs with the tools a disc author uses: ffprobe for the streams,
// dvdauthor and vcdimager for compliance, and a walk over the picture stream's headers.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace discforge::test {

struct CommandResult {
    int exitCode = -1;
    std::string output; // standard output and error together
};

CommandResult RunCommand(const std::string& command);
std::string Quoted(const std::string& text);

// One [STREAM] section of ffprobe: key -> value.
using ProbeFields = std::map<std::string, std::string>;

struct ProbedFile {
    ProbeFields video;
    ProbeFields audio;
    int videoStreams = 0;
    int audioStreams = 0;
    // From the packets: where each stream starts and ends, in seconds.
    double videoStart = 0, videoEnd = 0, audioStart = 0, audioEnd = 0;
};

// ffprobe with decoded frame counts; fills `error` when ffprobe failed.
ProbedFile Probe(const std::string& path, std::string& error);

// The headers of the picture stream, read from the file's video packets.
struct PictureStreamFacts {
    int gops = 0;
    int gopsWithSequenceHeader = 0;
    int closedGops = 0;
    int longestGop = 0; // pictures from one GOP start to the next
    int aspectCode = -1;
    int frameRateCode = -1;
    int bitRateField = -1;  // units of 400 bit/s
    int vbvSizeField = -1;  // units of 16 kbit
    bool firstPictureOpensGop = false;
    bool endsWithSequenceEnd = false;
};

PictureStreamFacts ReadPictureStream(const std::string& path, std::string& error);

// Authors a DVD title from the file; the tool's whole output goes to `log`.
bool PassesDvdauthor(const std::string& mpegPath, bool pal, const std::string& workFolder, std::string& log);
// Builds a VCD ("vcd2") or SVCD ("svcd") image from the file.
bool PassesVcdimager(const std::string& mpegPath, const std::string& type, const std::string& workFolder,
                     std::string& log);

} // namespace discforge::test
