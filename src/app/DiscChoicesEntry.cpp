#include "app/DiscChoicesEntry.h"

#include "app/ProjectChoices.h"

namespace discforge {
namespace {

// A language is a code of a few letters; a longer one is not a choice this program made.
constexpr std::size_t languageLimit = 16;
// Track numbers count a file's streams.
constexpr std::int32_t trackLimit = 0xFFFF;
// The top bit of a subtitle's track number marks a picture subtitle track: text and
// picture tracks are counted apart, so track 1 may be either.
constexpr std::uint32_t pictureTrackBit = 0x80000000u;

void PutNumber(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

bool TakeNumber(std::span<const std::uint8_t>& bytes, std::uint32_t& value)
{
    if (bytes.size() < 4) {
        return false;
    }
    value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
        | static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    bytes = bytes.subspan(4);
    return true;
}

void PutText(std::vector<std::uint8_t>& bytes, const std::string& text)
{
    PutNumber(bytes, static_cast<std::uint32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

bool TakeText(std::span<const std::uint8_t>& bytes, std::size_t limit, std::string& text)
{
    std::uint32_t length = 0;
    if (!TakeNumber(bytes, length) || length > bytes.size() || length > limit) {
        return false;
    }
    text.assign(bytes.begin(), bytes.begin() + length);
    bytes = bytes.subspan(length);
    return true;
}

std::optional<std::vector<int>> DecodeTracks(std::span<const std::uint8_t> bytes)
{
    std::vector<int> tracks;
    std::uint32_t track = 0;
    while (TakeNumber(bytes, track)) {
        if (track < 1 || track > trackLimit) {
            return std::nullopt;
        }
        tracks.push_back(static_cast<int>(track));
    }
    return bytes.empty() ? std::optional(tracks) : std::nullopt;
}

std::vector<SubtitleSource> WithWholePaths(std::vector<SubtitleSource> sources)
{
    for (SubtitleSource& source : sources) {
        source.path = AbsolutePath(source.path);
    }
    return sources;
}

} // namespace

std::vector<std::uint8_t> EncodeSubtitleSources(const std::vector<SubtitleSource>& sources)
{
    std::vector<std::uint8_t> bytes;
    for (const SubtitleSource& source : sources) {
        PutNumber(bytes, static_cast<std::uint32_t>(source.track) | (source.picture ? pictureTrackBit : 0));
        PutText(bytes, source.language);
        PutText(bytes, source.path);
    }
    return bytes;
}

std::optional<std::vector<SubtitleSource>> DecodeSubtitleSources(std::span<const std::uint8_t> bytes)
{
    std::vector<SubtitleSource> sources;
    while (!bytes.empty()) {
        SubtitleSource source;
        std::uint32_t track = 0;
        if (!TakeNumber(bytes, track)) {
            return std::nullopt;
        }
        source.picture = (track & pictureTrackBit) != 0;
        track &= ~pictureTrackBit;
        if (track > trackLimit || (source.picture && track == 0) || !TakeText(bytes, languageLimit, source.language)
            || !TakeText(bytes, bytes.size(), source.path) || source.path.empty()) {
            return std::nullopt;
        }
        source.track = static_cast<int>(track);
        sources.push_back(std::move(source));
    }
    return sources;
}

void KeepDiscChoices(ProjectExtension& extension, std::uint16_t scope, const InputEntry& entry)
{
    if (entry.burnSubtitles) {
        extension.SetInt(ProjectTag::burnSubtitles, scope, 1);
    }
    if (!entry.addedSubtitles.empty()) {
        extension.SetBytes(
            ProjectTag::addedSubtitles, scope, EncodeSubtitleSources(WithWholePaths(entry.addedSubtitles)));
    }
    if (!entry.subtitlesLeftOut.empty()) {
        extension.SetBytes(
            ProjectTag::subtitlesLeftOut, scope, EncodeSubtitleSources(WithWholePaths(entry.subtitlesLeftOut)));
    }
    if (!entry.soundTracksLeftOut.empty()) {
        std::vector<std::uint8_t> bytes;
        for (const int track : entry.soundTracksLeftOut) {
            PutNumber(bytes, static_cast<std::uint32_t>(track));
        }
        extension.SetBytes(ProjectTag::soundTracksLeftOut, scope, std::move(bytes));
    }
}

void RestoreDiscChoices(const ProjectExtension& extension, int record, InputEntry& entry)
{
    if (record < 0 || record >= batchScope) {
        return;
    }
    const auto scope = static_cast<std::uint16_t>(record);
    if (const std::optional<std::int32_t> burn = extension.Int(ProjectTag::burnSubtitles, scope)) {
        entry.burnSubtitles = *burn != 0;
    }
    const auto sources = [&extension, scope](ProjectTag tag) {
        const std::vector<std::uint8_t>* bytes = extension.Bytes(tag, scope);
        return bytes != nullptr ? DecodeSubtitleSources(*bytes) : std::nullopt;
    };
    if (std::optional<std::vector<SubtitleSource>> added = sources(ProjectTag::addedSubtitles)) {
        entry.addedSubtitles = std::move(*added);
    }
    if (std::optional<std::vector<SubtitleSource>> off = sources(ProjectTag::subtitlesLeftOut)) {
        entry.subtitlesLeftOut = std::move(*off);
    }
    if (const std::vector<std::uint8_t>* bytes = extension.Bytes(ProjectTag::soundTracksLeftOut, scope)) {
        if (std::optional<std::vector<int>> tracks = DecodeTracks(*bytes)) {
            entry.soundTracksLeftOut = std::move(*tracks);
        }
    }
}

} // namespace discforge
