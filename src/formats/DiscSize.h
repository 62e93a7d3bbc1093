// The size of the disc a batch is made for: a standard disc or a size in MB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace discforge {

enum class DiscSizeKind : int { dvd5 = 1, dvd9 = 2, cd74 = 3, cd80 = 4, megabytes = 5 };

struct DiscSize {
    DiscSizeKind kind = DiscSizeKind::dvd5;
    std::int64_t megabytes = 0; // only for DiscSizeKind::megabytes

    friend constexpr bool operator==(const DiscSize&, const DiscSize&) = default;
};

namespace disc_size_detail {

// A CD plays 75 sectors a second; a VCD or SVCD track is written in Mode 2 Form 2
// sectors, 2352 bytes less 12 of sync, 4 of header, 8 of subheader and 4 of error
// detection: 2324 bytes of stream each.
inline constexpr std::int64_t cdSectorsPerSecond = 75;
inline constexpr std::int64_t form2SectorBytes = 2324;
inline constexpr std::int64_t CdBytes(std::int64_t minutes)
{
    return minutes * 60 * cdSectorsPerSecond * form2SectorBytes;
}

} // namespace disc_size_detail

inline constexpr std::int64_t bytesPerDiscMegabyte = 1000000;
// Far beyond any disc: keeps a size typed in MB from overflowing the planner's sums.
inline constexpr std::int64_t largestDiscMegabytes = 1000000;

// The bytes a disc holds for the streams and the authoring's own files.
constexpr std::int64_t DiscCapacityBytes(const DiscSize& size)
{
    switch (size.kind) {
    case DiscSizeKind::dvd5:
        return 4700372992; // the smaller of DVD+R and DVD-R
    case DiscSizeKind::dvd9:
        return 8543666176; // the smaller of the dual-layer kinds
    case DiscSizeKind::cd74:
        return disc_size_detail::CdBytes(74);
    case DiscSizeKind::cd80:
        return disc_size_detail::CdBytes(80);
    case DiscSizeKind::megabytes:
        break;
    }
    return size.megabytes * bytesPerDiscMegabyte;
}

// "dvd5", "dvd9", "cd74", "cd80" or a whole number of MB (1 to largestDiscMegabytes);
// nothing for any other text.
constexpr std::optional<DiscSize> ParseDiscSize(std::string_view text)
{
    if (text == "dvd5") {
        return DiscSize{DiscSizeKind::dvd5, 0};
    }
    if (text == "dvd9") {
        return DiscSize{DiscSizeKind::dvd9, 0};
    }
    if (text == "cd74") {
        return DiscSize{DiscSizeKind::cd74, 0};
    }
    if (text == "cd80") {
        return DiscSize{DiscSizeKind::cd80, 0};
    }
    if (text.empty() || text.size() > 7) {
        return std::nullopt;
    }
    std::int64_t megabytes = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        megabytes = megabytes * 10 + (c - '0');
    }
    if (megabytes < 1 || megabytes > largestDiscMegabytes) {
        return std::nullopt;
    }
    return DiscSize{DiscSizeKind::megabytes, megabytes};
}

// The name users know the disc by, for messages: "DVD-5", "CD 80 min", "700 MB".
inline std::string DiscSizeName(const DiscSize& size)
{
    switch (size.kind) {
    case DiscSizeKind::dvd5:
        return "DVD-5";
    case DiscSizeKind::dvd9:
        return "DVD-9";
    case DiscSizeKind::cd74:
        return "CD 74 min";
    case DiscSizeKind::cd80:
        return "CD 80 min";
    case DiscSizeKind::megabytes:
        break;
    }
    return std::to_string(size.megabytes) + " MB";
}

} // namespace discforge
