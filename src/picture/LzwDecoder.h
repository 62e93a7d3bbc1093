// The variable-length LZW decoder of GIF image data. Malformed codes are mended
// rather than refused, and no code can reach past the tables or the stack.
#pragma once

#include <cstdint>
#include <cstdio>

namespace discforge {

class LzwDecoder {
public:
    // `initialCodeSize` is 2 to 11; the file is positioned at the first data block.
    LzwDecoder(std::FILE* file, int initialCodeSize);

    // The next pixel value. Once the data blocks run out every value is 0.
    int NextPixel();
    // The file ended inside a block length or while skipping blocks: the image
    // cannot go on, and NextPixel gives only 0 from then on.
    bool Failed() const { return failed_; }
    // The data blocks have ended and nothing is left to give but 0.
    bool OnlyZerosLeft() const { return outOfBlocks_ && stackSize_ == 0 && !failed_; }

private:
    static constexpr int tableSize = 4096;

    int NextCode();
    void Reset();
    void Push(int value);
    bool SkipBlocks();

    std::FILE* file_;
    int initialCodeSize_;
    int clearCode_;
    int endCode_;
    int codeSize_ = 0;
    int limitCode_ = 0;
    int nextFree_ = 0;
    int firstCode_ = 0;
    int oldCode_ = 0;
    bool firstTime_ = true;
    bool outOfBlocks_ = false;
    bool failed_ = false;

    std::uint16_t prefix_[tableSize] = {};
    std::uint8_t suffix_[tableSize] = {};
    std::uint8_t stack_[tableSize] = {};
    int stackSize_ = 0;

    // Two bytes kept from the last block, one block of up to 255 bytes, and room
    // for the three-byte window that reads a code near the end.
    std::uint8_t block_[2 + 255 + 3] = {};
    int currentBit_ = 0;
    int lastBit_ = 0;
    int lastByte_ = 2;
};

} // namespace discforge
