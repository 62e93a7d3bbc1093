// Reading a picture file: whole reads or nothing, one byte at a time, and the
// row destination the run-length decoders write into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace discforge {

// True when all `size` bytes were read.
inline bool ReadExact(std::FILE* file, void* buffer, std::size_t size)
{
    return std::fread(buffer, 1, size, file) == size;
}

// The next byte, or -1 at the end of the file.
inline int ReadByte(std::FILE* file)
{
    const int c = std::getc(file);
    return c == EOF ? -1 : c;
}

// Where a decoder puts its rows: Row(r) is memory row r (0 = bottom line), at
// least as long as the picture's row bytes. A full-size picture hands out its
// own rows; a preview can hand out a scratch row and sample it.
class RowTarget {
public:
    virtual ~RowTarget() = default;
    virtual std::uint8_t* Row(int r) = 0;
};

} // namespace discforge
