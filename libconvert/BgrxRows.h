// The rows of the 4:2:0 conversion: luma from one row of 32-bit blue-green-red-X
// pixels, chroma from two. The plain ones do any width; the AVX2 ones say how many
// pixels they did, leaving the rest to the plain ones: the luma row the leading
// pixels that fill its registers, the chroma row all of a row at least one register
// wide. Both give the same bytes.
#pragma once

#include <cstdint>

namespace discforge::convert {

void LumaRowPlain(const uint32_t* pixels, uint8_t* luma, int width);
void ChromaRowPlain(const uint32_t* upper, const uint32_t* lower, uint8_t* u, uint8_t* v, int chromaWidth);

// False where the processor has no AVX2; the two below then do nothing.
bool RowsHaveAvx2();
int LumaRowAvx2(const uint32_t* pixels, uint8_t* luma, int width);
int ChromaRowAvx2(const uint32_t* upper, const uint32_t* lower, uint8_t* u, uint8_t* v, int chromaWidth);

} // namespace discforge::convert
