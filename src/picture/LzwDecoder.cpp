#include "picture/LzwDecoder.h"

#include "picture/StreamRead.h"

namespace discforge {

LzwDecoder::LzwDecoder(std::FILE* file, int initialCodeSize)
    : file_(file), initialCodeSize_(initialCodeSize), clearCode_(1 << initialCodeSize),
      endCode_((1 << initialCodeSize) + 1)
{
    Reset();
}

void LzwDecoder::Reset()
{
    codeSize_ = initialCodeSize_ + 1;
    limitCode_ = 2 * clearCode_;
    nextFree_ = clearCode_ + 2;
    stackSize_ = 0;
}

void LzwDecoder::Push(int value)
{
    if (stackSize_ < tableSize) {
        stack_[stackSize_++] = static_cast<std::uint8_t>(value);
    }
}

bool LzwDecoder::SkipBlocks()
{
    std::uint8_t skipped[255];
    for (;;) {
        const int length = ReadByte(file_);
        if (length < 0) {
            return false;
        }
        if (length == 0) {
            return true;
        }
        if (!ReadExact(file_, skipped, static_cast<std::size_t>(length))) {
            return false;
        }
    }
}

// Codes are packed least significant bit first across the data blocks.
int LzwDecoder::NextCode()
{
    while (currentBit_ + codeSize_ > lastBit_) {
        if (outOfBlocks_) {
            return endCode_;
        }
        block_[0] = block_[lastByte_ - 2];
        block_[1] = block_[lastByte_ - 1];
        const int length = ReadByte(file_);
        if (length < 0) {
            failed_ = true;
            return endCode_;
        }
        if (length == 0 || !ReadExact(file_, block_ + 2, static_cast<std::size_t>(length))) {
            outOfBlocks_ = true;
            return endCode_;
        }
        currentBit_ = currentBit_ - lastBit_ + 16;
        lastByte_ = 2 + length;
        lastBit_ = 8 * lastByte_;
    }
    const int byte = currentBit_ / 8;
    const std::uint32_t window = block_[byte] | (block_[byte + 1] << 8) | (block_[byte + 2] << 16);
    const int code = static_cast<int>((window >> (currentBit_ % 8)) & ((1u << codeSize_) - 1));
    currentBit_ += codeSize_;
    return code;
}

int LzwDecoder::NextPixel()
{
    if (failed_) {
        return 0;
    }
    int code;
    if (firstTime_) {
        firstTime_ = false;
        code = clearCode_;
    } else {
        if (stackSize_ > 0) {
            return stack_[--stackSize_];
        }
        code = NextCode();
        if (failed_) {
            return 0;
        }
    }
    if (code == clearCode_) {
        Reset();
        do {
            code = NextCode();
            if (failed_) {
                return 0;
            }
        } while (code == clearCode_);
        if (code > clearCode_) {
            code = 0;
        }
        firstCode_ = oldCode_ = code;
        return code;
    }
    if (code == endCode_) {
        if (!outOfBlocks_) {
            outOfBlocks_ = true;
            if (!SkipBlocks()) {
                failed_ = true;
            }
        }
        return 0;
    }
    int incode = code;
    if (code >= nextFree_) {
        // Not yet in the table: the string of the previous code plus its first value.
        Push(firstCode_);
        code = oldCode_;
        if (incode > nextFree_) {
            incode = 0;
        }
    }
    // Every entry's prefix is a smaller code, so this walk ends; the guard
    // bounds it all the same.
    for (int steps = 0; code >= clearCode_ && steps < tableSize; ++steps) {
        Push(suffix_[code]);
        code = prefix_[code];
    }
    if (code >= clearCode_) {
        code = 0;
    }
    firstCode_ = code;
    if (nextFree_ < tableSize) {
        prefix_[nextFree_] = static_cast<std::uint16_t>(oldCode_);
        suffix_[nextFree_] = static_cast<std::uint8_t>(firstCode_);
        ++nextFree_;
        if (nextFree_ >= limitCode_ && codeSize_ < 12) {
            ++codeSize_;
            limitCode_ *= 2;
        }
    }
    oldCode_ = incode;
    return firstCode_;
}

} // namespace discforge
