// A DVD planned at its highest average, from a clip whose second part is far harder
// than its first, so that the encoder spends its peak there: the multiplex still
// carries it, every video packet arriving before its picture is decoded and the
// packs no faster than the disc's 10.08 Mbit/s, and dvdauthor takes the stream.
#include "CliProcess.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr double systemClock = 27000000.0;
constexpr double ptsClock = 90000.0;

// What the packs of a program stream tell of its delivery.
struct Delivery {
    int packs = 0;
    int videoStamps = 0;
    double leastLead = 1e9; // seconds from a video packet's arrival to its decoding
    double shortestPack = 1e9; // seconds between two packs' clock references
};

std::int64_t Stamp(const unsigned char* b)
{
    return (std::int64_t{(b[0] >> 1) & 7} << 30) | (std::int64_t{b[1]} << 22) | (std::int64_t{b[2] >> 1} << 15)
        | (std::int64_t{b[3]} << 7) | (b[4] >> 1);
}

double ClockReference(const unsigned char* b)
{
    const std::int64_t base = (std::int64_t{(b[0] >> 3) & 7} << 30) | (std::int64_t{b[0] & 3} << 28)
        | (std::int64_t{b[1]} << 20) | (std::int64_t{(b[2] >> 3) & 0x1f} << 15) | (std::int64_t{b[2] & 3} << 13)
        | (std::int64_t{b[3]} << 5) | (b[4] >> 3);
    const int extension = ((b[4] & 3) << 7) | (b[5] >> 1);
    return static_cast<double>(base * 300 + extension) / systemClock;
}

// Reads the MPEG-2 packs and, inside each, the video packets with their time stamps.
Delivery ReadDelivery(const std::vector<unsigned char>& d)
{
    Delivery delivery;
    double previous = -1;
    std::size_t i = 0;
    while (i + 14 <= d.size()) {
        if (!(d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1 && d[i + 3] == 0xba)) {
            ++i;
            continue;
        }
        const double clock = ClockReference(&d[i + 4]);
        if (previous >= 0) {
            delivery.shortestPack = std::min(delivery.shortestPack, clock - previous);
        }
        previous = clock;
        ++delivery.packs;
        std::size_t j = i + 14 + (d[i + 13] & 7);
        while (j + 19 <= d.size() && d[j] == 0 && d[j + 1] == 0 && d[j + 2] == 1 && d[j + 3] != 0xba) {
            const std::size_t length = (std::size_t{d[j + 4]} << 8) | d[j + 5];
            const int stamps = d[j + 7] >> 6;
            if (d[j + 3] == 0xe0 && stamps >= 2) {
                // The decoding time: DTS when both are there, else PTS.
                const double decoded = static_cast<double>(Stamp(&d[j + (stamps == 3 ? 14 : 9)])) / ptsClock;
                delivery.leastLead = std::min(delivery.leastLead, decoded - clock);
                ++delivery.videoStamps;
            }
            j += 6 + length;
        }
        i = std::max(j, i + 1);
    }
    return delivery;
}

TEST(DvdPeak, TheHighestPlanOfAHardClipStaysWithinTheMultiplex)
{
    TestFolder folder;
    const std::string clip = folder.File("hard.avi");
    const CommandResult made = RunCommand(
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=720x576:rate=25:duration=4 -f lavfi -i "
        "'testsrc2=size=720x576:rate=25:duration=12,noise=alls=40:allf=t' -f lavfi -i "
        "sine=frequency=440:sample_rate=48000:duration=16 -filter_complex '[0:v][1:v]concat=n=2:v=1:a=0[v]' "
        "-map '[v]' -map 2:a -ac 2 -c:v mpeg4 -q:v 3 -c:a pcm_s16le "
        + Quoted(clip));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    // 20 MB hold more than 16 s at the highest average of 8 Mbit/s: the plan stops there.
    const CliOutcome converted
        = RunCli({"--target", "dvd", "--standard", "pal", "--disc-size", "20", "hard.avi"}, folder.Path());
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    const std::string stream = folder.File("hard.mpg");

    std::ifstream file(stream, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    // 8 Mbit/s of video and 192 kbit/s of sound for 16 s are 16.4 MB; the easy part may
    // not take all it is given.
    EXPECT_GT(bytes.size(), 14000000U);
    const Delivery delivery = ReadDelivery(bytes);
    EXPECT_EQ(static_cast<std::size_t>(delivery.packs) * 2048, bytes.size()) << "every pack 2048 bytes";
    // Nearly every one of the 400 pictures starts a packet with its time stamp.
    EXPECT_GE(delivery.videoStamps, 375);
    EXPECT_GT(delivery.leastLead, 0.0) << "a video packet arrives after its picture is due";
    // A 2048-byte pack at 10.08 Mbit/s takes 1625 us; the clock reference is rounded.
    EXPECT_GE(delivery.shortestPack, 2048 * 8 / 10080000.0 - 5e-6);

    const std::string check = folder.File("check");
    std::filesystem::create_directories(check);
    std::string log;
    EXPECT_TRUE(PassesDvdauthor(stream, true, check, log)) << log;
}

} // namespace
} // namespace discforge::test
