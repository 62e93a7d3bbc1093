#include "SoftPulldown.h"

#include "EncoderMessages.h"

namespace discforge::convert {
namespace {

constexpr int64_t picturesPerGroup = 4;
constexpr int64_t fieldsPerGroup = 10;
// Where each picture of a group starts, in fields, and whether it shows its top field
// first and its first field again: top-bottom-top, bottom-top, bottom-top-bottom, top-bottom.
constexpr int64_t groupFieldStarts[picturesPerGroup] = {0, 3, 5, 8};
constexpr bool groupTopFirst[picturesPerGroup] = {true, false, false, true};
constexpr bool groupRepeatsField[picturesPerGroup] = {true, false, true, false};

constexpr uint8_t sequenceHeaderCode = 0xB3;
constexpr uint8_t extensionCode = 0xB5;
constexpr int sequenceExtensionId = 1;
constexpr int pictureCodingExtensionId = 8;
// frame_rate_code 4: 30000/1001.
constexpr uint8_t ntscFrameRateCode = 4;

int64_t PlaceInGroup(int64_t picture) { return ((picture % picturesPerGroup) + picturesPerGroup) % picturesPerGroup; }

int64_t GroupOf(int64_t picture)
{
    return picture >= 0 ? picture / picturesPerGroup : -((-picture + picturesPerGroup - 1) / picturesPerGroup);
}

// Sets or clears the bits of `mask` in `byte`.
void SetBits(uint8_t& byte, uint8_t mask, bool on) { byte = on ? (byte | mask) : (byte & ~mask); }

} // namespace

int64_t PulldownFieldOf(int64_t picture)
{
    return GroupOf(picture) * fieldsPerGroup + groupFieldStarts[PlaceInGroup(picture)];
}

int PulldownFieldsShown(int64_t picture) { return groupRepeatsField[PlaceInGroup(picture)] ? 3 : 2; }

EncodeStatus ApplyPulldown(AVPacket& packet)
{
    const int64_t picture = packet.pts;
    const int64_t place = PlaceInGroup(picture);
    bool marked = false;
    uint8_t* data = packet.data;
    const int size = packet.size;
    for (int at = 0; at + 3 < size; ++at) {
        if (data[at] != 0 || data[at + 1] != 0 || data[at + 2] != 1) {
            continue;
        }
        const uint8_t code = data[at + 3];
        uint8_t* body = data + at + 4;
        const int left = size - at - 4;
        if (code == sequenceHeaderCode && left >= 4) {
            // Width and height take the first three bytes, the shape and the rate the fourth.
            body[3] = static_cast<uint8_t>((body[3] & 0xF0) | ntscFrameRateCode);
        } else if (code == extensionCode && left >= 2 && body[0] >> 4 == sequenceExtensionId) {
            // progressive_sequence: cleared, as repeated fields need a sequence of fields.
            SetBits(body[1], 0x08, false);
        } else if (code == extensionCode && left >= 5 && body[0] >> 4 == pictureCodingExtensionId) {
            SetBits(body[3], 0x80, groupTopFirst[place]); // top_field_first
            SetBits(body[3], 0x02, groupRepeatsField[place]); // repeat_first_field
            SetBits(body[3], 0x01, true); // chroma_420_type, as progressive_frame
            SetBits(body[4], 0x80, true); // progressive_frame
            marked = true;
        }
    }
    if (!marked) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::noPictureHeader);
    }
    packet.pts = PulldownFieldOf(packet.pts);
    packet.dts = PulldownFieldOf(packet.dts);
    packet.duration = PulldownFieldsShown(picture);
    return EncodeStatus::Done();
}

} // namespace discforge::convert
