// The parts of the GIF reader that the full-size and the preview-size readers
// share: screen header, image search and the interlaced row order. Functions
// return null on success or the message for the error text.
#pragma once

#include <cstdio>

#include "picture/ReaderState.h"

namespace discforge {

// Reads the signature, screen descriptor and global table (the file positioned
// at its start).
const char* ReadGifScreen(std::FILE* file, GifReaderState& gif);

// Finds the first image descriptor, reads its local table (or takes the global
// one) and its initial code size; the file is left at its first data block.
const char* FindGifImage(std::FILE* file, GifReaderState& gif);

// 1 bit for a 2-entry table, 4 for 16 entries, else 8.
int GifPictureDepth(const GifReaderState& gif);

// The image row of the n-th row in file order.
class GifRowOrder {
public:
    GifRowOrder(int height, bool interlaced);
    int ImageRow(int n) const;

private:
    bool interlaced_;
    int pass1_;
    int pass2_;
    int pass3_;
};

} // namespace discforge
