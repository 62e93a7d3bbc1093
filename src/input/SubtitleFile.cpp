#include "input/SubtitleFile.h"

#include "input/SubtitleMessages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

namespace discforge {
namespace {

// Ten hours: no film runs longer, and a time beyond it is a damaged one.
constexpr std::int64_t longestTimeMs = 10LL * 3600 * 1000;

std::string Problem(const char* text, const std::string& name)
{
    std::string message(text);
    const std::size_t at = message.find("%1");
    if (at != std::string::npos) {
        message.replace(at, 2, name);
    }
    return message;
}

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 after its byte-order mark into UTF-8; nothing for a lone surrogate or an odd length.
std::optional<std::string> FromUtf16(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<std::uint8_t>(bytes[i]);
        const auto b = static_cast<std::uint8_t>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00) {
            if (i + 3 >= bytes.size()) {
                return std::nullopt;
            }
            const std::uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low >= 0xE000) {
                return std::nullopt;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (code >= 0xDC00 && code < 0xE000) {
            return std::nullopt;
        }
        AppendUtf8(out, code);
    }
    return out;
}

// The length of the UTF-8 sequence at `i`, or 0 when it is not one.
std::size_t Utf8Length(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size() || (length == 2 && lead < 0xC2)) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<std::uint8_t>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

// Splits on "\r\n", "\n" or "\r".
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    return lines;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

// Digits at `at`, at most `most` of them (at least one); moves `at` past them.
std::optional<std::int64_t> Number(std::string_view text, std::size_t& at, std::size_t most)
{
    std::int64_t value = 0;
    std::size_t count = 0;
    while (at < text.size() && count < most && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++count;
    }
    if (count == 0) {
        return std::nullopt;
    }
    return value;
}

bool Take(std::string_view text, std::size_t& at, std::string_view separators)
{
    if (at < text.size() && separators.find(text[at]) != std::string_view::npos) {
        ++at;
        return true;
    }
    return false;
}

// "H:MM:SS,mmm" (SubRip, '.' also taken) or "H:MM:SS.cc" (SubStation): milliseconds.
std::optional<std::int64_t> ClockTime(std::string_view text, std::size_t& at)
{
    const auto hours = Number(text, at, 3);
    if (!hours || !Take(text, at, ":")) {
        return std::nullopt;
    }
    const auto minutes = Number(text, at, 2);
    if (!minutes || *minutes >= 60 || !Take(text, at, ":")) {
        return std::nullopt;
    }
    const auto seconds = Number(text, at, 2);
    if (!seconds || *seconds >= 60) {
        return std::nullopt;
    }
    std::int64_t fraction = 0;
    if (Take(text, at, ",.")) {
        const std::size_t from = at;
        const auto digits = Number(text, at, 3);
        if (!digits) {
            return std::nullopt;
        }
        fraction = *digits;
        for (std::size_t n = at - from; n < 3; ++n) {
            fraction *= 10;
        }
    }
    return ((*hours * 60 + *minutes) * 60 + *seconds) * 1000 + fraction;
}

// A cue line of text without markup: SubRip's <i>...</i> and <font ...>, SubStation's
// {\...} overrides; SubStation's \N and \n part lines, \h is a space.
std::string PlainText(std::string_view text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '<') {
            const std::size_t close = text.find(c == '{' ? '}' : '>', i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == 'N' || text[i + 1] == 'n' || text[i + 1] == 'h')) {
            plain += text[i + 1] == 'h' ? ' ' : '\n';
            ++i;
            continue;
        }
        // Control characters show as nothing on a player; a tab is a space.
        if (static_cast<unsigned char>(c) < 0x20) {
            if (c == '\t') {
                plain += ' ';
            }
            continue;
        }
        plain += c;
    }
    return plain;
}

// Adds a line to a cue's text within the bounds: a long line is cut on a character.
void AddLine(std::string& text, std::size_t& lines, std::string_view line)
{
    for (std::string_view rest = line; lines < subtitleLinesPerCue;) {
        const std::size_t part = rest.find('\n');
        std::string_view piece = Trim(rest.substr(0, part));
        std::size_t cut = 0;
        while (cut < piece.size()) {
            const std::size_t length = std::max<std::size_t>(Utf8Length(piece, cut), 1);
            if (cut + length > subtitleLineBytes) {
                break;
            }
            cut += length;
        }
        piece = piece.substr(0, cut);
        if (!piece.empty()) {
            if (!text.empty()) {
                text += '\n';
            }
            text += piece;
            ++lines;
        }
        if (part == std::string_view::npos) {
            break;
        }
        rest = rest.substr(part + 1);
    }
}

struct Gathered {
    std::vector<SubtitleCue> cues;
    int skipped = 0;
    bool tooMany = false;
};

void Keep(Gathered& gathered, std::optional<std::int64_t> start, std::optional<std::int64_t> end, std::string text)
{
    if (!start || !end || *end <= *start || *end > longestTimeMs) {
        ++gathered.skipped;
        return;
    }
    if (text.empty()) {
        return;
    }
    if (gathered.cues.size() >= subtitleCueLimit) {
        gathered.tooMany = true;
        return;
    }
    gathered.cues.push_back({*start, *end, std::move(text)});
}

void ParseSubRip(const std::vector<std::string_view>& lines, Gathered& gathered)
{
    for (std::size_t i = 0; i < lines.size() && !gathered.tooMany; ++i) {
        const std::string_view line = Trim(lines[i]);
        const std::size_t arrow = line.find("-->");
        if (arrow == std::string_view::npos) {
            continue; // a cue number, a blank line, or text of a cue whose times were bad
        }
        std::size_t at = 0;
        const std::string_view left = Trim(line.substr(0, arrow));
        const std::string_view right = Trim(line.substr(arrow + 3));
        std::optional<std::int64_t> start = ClockTime(left, at);
        if (at != left.size()) {
            start.reset();
        }
        at = 0;
        const std::optional<std::int64_t> end = ClockTime(right, at);
        std::string text;
        std::size_t count = 0;
        for (++i; i < lines.size() && !Trim(lines[i]).empty(); ++i) {
            AddLine(text, count, PlainText(lines[i]));
        }
        Keep(gathered, start, end, std::move(text));
    }
}

// The fields of a "Dialogue:" line by its section's "Format:", the text field taking the rest.
void ParseSubStation(const std::vector<std::string_view>& lines, Gathered& gathered)
{
    bool inEvents = false;
    std::vector<std::string> format = {"layer", "start", "end", "style", "name", "marginl", "marginr", "marginv",
        "effect", "text"};
    for (const std::string_view raw : lines) {
        if (gathered.tooMany) {
            return;
        }
        const std::string_view line = Trim(raw);
        if (!line.empty() && line.front() == '[') {
            std::string section(line);
            std::transform(section.begin(), section.end(), section.begin(), [](unsigned char c) { return std::tolower(c); });
            inEvents = section == "[events]";
            continue;
        }
        if (!inEvents) {
            continue;
        }
        if (line.rfind("Format:", 0) == 0) {
            format.clear();
            std::string_view rest = line.substr(7);
            while (!rest.empty() && format.size() < 32) {
                const std::size_t comma = rest.find(',');
                std::string field(Trim(rest.substr(0, comma)));
                std::transform(field.begin(), field.end(), field.begin(), [](unsigned char c) { return std::tolower(c); });
                format.push_back(field);
                rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
            }
            continue;
        }
        if (line.rfind("Dialogue:", 0) != 0 || format.empty()) {
            continue;
        }
        std::string_view rest = line.substr(9);
        std::optional<std::int64_t> start;
        std::optional<std::int64_t> end;
        std::string text;
        for (std::size_t field = 0; field < format.size(); ++field) {
            const bool last = field + 1 == format.size();
            const std::size_t comma = last ? std::string_view::npos : rest.find(',');
            const std::string_view value = Trim(rest.substr(0, comma));
            std::size_t at = 0;
            if (format[field] == "start") {
                start = ClockTime(value, at);
            } else if (format[field] == "end") {
                end = ClockTime(value, at);
            } else if (format[field] == "text") {
                std::size_t count = 0;
                AddLine(text, count, PlainText(value));
            }
            if (comma == std::string_view::npos) {
                break;
            }
            rest = rest.substr(comma + 1);
        }
        Keep(gathered, start, end, std::move(text));
    }
}

// By start; a cue that runs into the next ends where it begins, and cues that begin
// together are shown together.
void Untangle(std::vector<SubtitleCue>& cues)
{
    std::stable_sort(cues.begin(), cues.end(), [](const SubtitleCue& a, const SubtitleCue& b) {
        return a.startMs < b.startMs;
    });
    std::vector<SubtitleCue> untangled;
    for (SubtitleCue& cue : cues) {
        if (!untangled.empty() && untangled.back().startMs == cue.startMs) {
            SubtitleCue& shown = untangled.back();
            shown.endMs = std::max(shown.endMs, cue.endMs);
            std::size_t lines = static_cast<std::size_t>(std::count(shown.text.begin(), shown.text.end(), '\n')) + 1;
            AddLine(shown.text, lines, cue.text);
            continue;
        }
        if (!untangled.empty() && untangled.back().endMs > cue.startMs) {
            untangled.back().endMs = cue.startMs;
        }
        untangled.push_back(std::move(cue));
    }
    cues = std::move(untangled);
}

bool LooksLikeSubStation(std::string_view text)
{
    const std::string_view head = text.substr(0, 4096);
    return head.find("[Script Info]") != std::string_view::npos || head.find("[Events]") != std::string_view::npos;
}

} // namespace

SubtitleRead ParseSubtitles(std::string_view bytes, const std::string& name)
{
    SubtitleRead read;
    std::string decoded;
    std::string_view text = bytes;
    if (text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")) {
        const std::optional<std::string> converted = FromUtf16(text.substr(2), text[0] == '\xFE');
        if (!converted) {
            read.problem = Problem(subtitle_message::unknownEncoding, name);
            return read;
        }
        decoded = *converted;
        text = decoded;
    } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    if (text.find('\0') != std::string_view::npos) {
        read.problem = Problem(subtitle_message::notText, name);
        return read;
    }
    if (!IsUtf8(text)) {
        read.problem = Problem(subtitle_message::unknownEncoding, name);
        return read;
    }
    const std::vector<std::string_view> lines = Lines(text);
    Gathered gathered;
    if (LooksLikeSubStation(text)) {
        ParseSubStation(lines, gathered);
    } else {
        ParseSubRip(lines, gathered);
    }
    if (gathered.tooMany) {
        read.problem = Problem(subtitle_message::tooManyCues, name);
        return read;
    }
    Untangle(gathered.cues);
    read.cues = std::move(gathered.cues);
    read.skipped = gathered.skipped;
    if (read.cues.empty()) {
        read.problem = Problem(subtitle_message::noCues, name);
    }
    return read;
}

SubtitleRead ReadSubtitleFile(const std::string& path)
{
    SubtitleRead read;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        read.problem = Problem(subtitle_message::cannotRead, path);
        return read;
    }
    if (size > subtitleFileLimit) {
        read.problem = Problem(subtitle_message::tooLarge, path);
        return read;
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!file.read(bytes.data(), static_cast<std::streamsize>(size))) {
        read.problem = Problem(subtitle_message::cannotRead, path);
        return read;
    }
    return ParseSubtitles(bytes, path);
}

bool IsSubtitlePath(const std::string& path)
{
    std::string ending = std::filesystem::path(path).extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == ".srt" || ending == ".ass" || ending == ".ssa";
}

} // namespace discforge
