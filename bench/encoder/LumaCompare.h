// Luma PSNR of an MPEG file's decoded pictures against the source pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace discforge::bench {

struct LumaScore {
    int pictures = 0;
    int64_t videoBytes = 0; // the picture stream alone, without sound and multiplex
    double psnr = 0; // from the mean squared error over all pictures
    std::string error;
};

// The Y plane (BT.601, MPEG range) of each source picture, converted as an encoder would.
std::vector<std::vector<uint8_t>> SourceLuma(const std::vector<std::vector<uint8_t>>& topDownPictures, int width,
                                             int height);

LumaScore CompareLuma(const std::string& mpegPath, const std::vector<std::vector<uint8_t>>& sourceLuma, int width,
                      int height);

} // namespace discforge::bench
