// The extension block of a project file: what the header and the input records
// have no room for, after the last record. Files written before it existed end
// with the records and open as they always did.
//
// Layout (integers little-endian):
//   "FDXB"            4 bytes, the block's mark
//   version           u16, 1
//   entry count       u32
//   entries, each:    u16 tag, u16 scope (0xFFFF: the whole batch, else the
//                     input's index), u32 length, then `length` bytes
// A reader skips tags it does not know, so a later program's file still opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace discforge {

// One tag per kept choice. Numbers are stored in files: never reuse or renumber one.
enum class ProjectTag : std::uint16_t {
    // The shape of the frames, batch scope: i32 0 automatic, 1 4:3, 2 16:9.
    frameShape = 1,
    soundTrack = 10, // per input: the sound track chosen, from 1 (none kept: the file's default)
    outputFormat = 20, // batch: the disc format
    tvStandard = 21, // batch: the television standard
    splitOutput = 22, // batch: 0 or 1
    maxFileSizeMB = 23, // batch: the size of each part
    shutdownWhenDone = 24, // batch: 0 or 1
    inputPath = 25, // per input: the whole path, which the record may have had to cut
    outputPath = 26, // per input: the whole output path
    sharedOutputName = 27, // batch: the one output file without batch mode, whole
    // Per input: its own decoder settings, as triples of u32-length-prefixed texts
    // (component, option, value); an empty option marks a component at its defaults.
    decoderChoices = 28,
    // The disc the rate is planned for, batch scope: i32 1 DVD-5, 2 DVD-9, 3 CD 74 min,
    // 4 CD 80 min, 5 a size in MB, which discSizeMegabytes then holds as i32.
    discSize = 50,
    discSizeMegabytes = 51,
    // The DVD menu, batch scope: i32 1 made for more than one title, 0 not (a file
    // without it has none, as before menus were made); the background picture's path.
    discMenu = 70,
    menuBackground = 71,
    titleName = 72, // per input: its name on the menu (none kept: the file name)
    // Per input, what goes on the disc of its subtitles and sound; a file without them
    // puts every subtitle found and every sound track on it, none drawn into a DVD's picture.
    burnSubtitles = 80, // i32 1: a DVD's picture carries the first subtitle (VCD and SVCD always)
    // Subtitles as (u32 track, u32-length-prefixed language, u32-length-prefixed path):
    addedSubtitles = 81, // those named for the input, before the ones found
    subtitlesLeftOut = 82, // those switched off
    soundTracksLeftOut = 83, // i32 track numbers, from 1, not put on a DVD
};

inline constexpr std::uint16_t batchScope = 0xFFFF;
inline constexpr std::uint16_t projectExtensionVersion = 1;
// Room for a long path per input and every batch choice, far above what a project needs.
inline constexpr std::size_t maxProjectExtensionSize = 4 * 1024 * 1024;

class ProjectExtension {
public:
    void SetBytes(ProjectTag tag, std::uint16_t scope, std::vector<std::uint8_t> value);
    void SetInt(ProjectTag tag, std::uint16_t scope, std::int32_t value);
    void SetText(ProjectTag tag, std::uint16_t scope, const std::string& value);

    const std::vector<std::uint8_t>* Bytes(ProjectTag tag, std::uint16_t scope) const;
    // Nothing when the entry is missing or not four bytes long.
    std::optional<std::int32_t> Int(ProjectTag tag, std::uint16_t scope) const;
    std::optional<std::string> Text(ProjectTag tag, std::uint16_t scope) const;

    bool Empty() const { return entries_.empty(); }

    // The block's bytes; none at all when it holds no entry.
    std::vector<std::uint8_t> Encode() const;

    enum class Status {
        ok,
        absent, // no bytes after the records: a file of an earlier program
        unknownFormat, // bytes that are not a block of a version this program reads
        damaged, // cut inside an entry: the entries before it are kept
    };
    // Reads a block from the bytes after the last record.
    static Status Decode(std::span<const std::uint8_t> bytes, ProjectExtension& extension);

private:
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<std::uint8_t>> entries_;
};

} // namespace discforge
