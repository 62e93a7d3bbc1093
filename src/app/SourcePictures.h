// What the encoder learns of an input's pictures beyond the parameter record:
// whether they hold two fields and which is shown first, and whether they are film
// that an NTSC DVD takes picture by picture, its player repeating fields to show
// 29.97 frames a second.
#pragma once

#include "encoder/EncodeParameters.h"

#include <cstdint>
#include <optional>

namespace discforge {

struct ConversionSettings;
struct InputEntry;

struct InputPictures {
    int fieldOrder = ENCODE_PROGRESSIVE; // an EncodeFieldOrder, as the encoder receives the pictures
    bool film = false;
};

// A list, a deinterlaced input and a progressive source give frames; otherwise the
// source's field order, swapped where turning upside down or the crop moves the top
// field to odd rows.
InputPictures PicturesOf(const InputEntry& entry, const ConversionSettings& settings);

// Film at 24000/1001 frames a second, to within what a container's rounding leaves.
bool IsFilmRate(double frameRate);

// The record that tells the encoder about the pictures, with the planned rate when there is one.
EncodeExtension PicturesExtension(const InputPictures& pictures, std::optional<std::int64_t> plannedRate);

} // namespace discforge
