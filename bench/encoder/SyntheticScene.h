// A synthetic 720 x 576 scene for the encoder benchmark: a detailed background under a
// slow camera pan, two moving objects and a little grain, so that motion search, rate
// control and quantisation all have real work.
#pragma once

#include <cstdint>
#include <vector>

namespace discforge::bench {

// One picture as 32-bit blue-green-red-X rows, top row first.
std::vector<uint8_t> PaintScene(int width, int height, int frame);

} // namespace discforge::bench
