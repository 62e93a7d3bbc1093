// The shape a conversion's frames are shown at, chosen by the user or from the
// source, and the encoder's format code that carries it.
#pragma once

#include "formats/DiscFormats.h"

#include <optional>

namespace discforge {

enum class ShapeChoice : int { automatic = 0, fourByThree = 1, sixteenByNine = 2 };

// A source shown wider than this goes onto a 16:9 frame when the shape is automatic:
// halfway between 4:3 and 16:9 is 1.56, and 3:2 pictures look better letterboxed in 16:9.
inline constexpr double autoWideAspect = 1.5;

// The shape of a disc's frames for a source shown sourceAspect wide to 1 high (0 when
// unknown). A shape the disc does not allow, or allows only when asked, is never chosen
// automatically; a shape asked for that the disc does not have falls back to its first.
constexpr DisplayShape ResolveShape(const DiscFormat& disc, ShapeChoice choice, double sourceAspect)
{
    const ShapeEntry* wide = FindShape(disc, DisplayShape::sixteenByNine);
    switch (choice) {
    case ShapeChoice::fourByThree:
        break;
    case ShapeChoice::sixteenByNine:
        if (wide != nullptr) {
            return DisplayShape::sixteenByNine;
        }
        break;
    case ShapeChoice::automatic:
        if (wide != nullptr && !wide->onlyWhenAsked && sourceAspect > autoWideAspect) {
            return DisplayShape::sixteenByNine;
        }
        break;
    }
    return disc.shapes[0].shape;
}

// The encoder library's format code: the format, 16 for PAL, 32 for a 16:9 frame.
inline constexpr int palFormatFlag = 16;
inline constexpr int wideFormatFlag = 32;

constexpr int EncoderFormatCode(int format, int standard, DisplayShape shape)
{
    return format + (standard == standardPal ? palFormatFlag : 0)
        + (shape == DisplayShape::sixteenByNine ? wideFormatFlag : 0);
}

struct FormatCodeParts {
    const DiscFormat* disc = nullptr;
    const ShapeEntry* shape = nullptr;
};

// The disc row and shape of a format code; nothing for a code of no disc or of a
// shape the disc does not allow.
constexpr std::optional<FormatCodeParts> DecodeFormatCode(int code)
{
    if (code != (code & (wideFormatFlag | palFormatFlag | 0x0F))) {
        return std::nullopt;
    }
    const DiscFormat* disc = FindDiscFormat(code & 0x0F, (code & palFormatFlag) != 0 ? standardPal : standardNtsc);
    if (disc == nullptr) {
        return std::nullopt;
    }
    const DisplayShape shape = (code & wideFormatFlag) != 0 ? DisplayShape::sixteenByNine : DisplayShape::fourByThree;
    const ShapeEntry* entry = FindShape(*disc, shape);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return FormatCodeParts{disc, entry};
}

} // namespace discforge
