// Film for an NTSC DVD: 24000/1001 pictures shown at 30000/1001 frames by the
// player, which shows the first field of every other picture twice (3:2 pulldown).
// Each group of four pictures takes ten fields: 3, 2, 3 and 2. The pictures are
// encoded as they are; their headers are then given the repeat and first-field
// flags of their place in the group, the sequence is marked as one of fields at
// 29.97 frames a second, and the timestamps follow the fields each picture is shown for.
#pragma once

#include "EncodeStatus.h"

#include <cstdint>

extern "C" {
#include <libavcodec/packet.h>
#include <libavutil/rational.h>
}

namespace discforge::convert {

// One field at 30000/1001 frames a second: the time base of the retimed packets.
constexpr AVRational pulldownFieldBase{1001, 60000};

// The field at which film picture `picture` (counted from 0, may be negative) starts to show.
int64_t PulldownFieldOf(int64_t picture);
// Fields the picture is shown for: 3 or 2.
int PulldownFieldsShown(int64_t picture);

// Rewrites the headers in the encoded picture `packet` (timestamps in film pictures)
// and moves its timestamps to fields. Fails for a packet whose headers cannot be read.
EncodeStatus ApplyPulldown(AVPacket& packet);

} // namespace discforge::convert
