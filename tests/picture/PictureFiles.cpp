#include "PictureFiles.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include <jpeglib.h>

namespace discforge::test {

namespace fs = std::filesystem;

namespace {

// One folder per test process; removed with everything in it when the process ends.
class TestFolder {
public:
    TestFolder()
        : path_(fs::temp_directory_path() / ("discforge-picture-" + std::to_string(::getpid())))
    {
        fs::create_directories(path_);
    }
    ~TestFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

const fs::path& Folder()
{
    static TestFolder folder;
    return folder.Path();
}

} // namespace

void PutLe16(Bytes& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutLe32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

Bytes MakeBmp(const BmpRecipe& recipe)
{
    Bytes info;
    PutLe32(info, static_cast<std::uint32_t>(recipe.headerSize));
    if (recipe.headerSize == 12) {
        PutLe16(info, recipe.width);
        PutLe16(info, recipe.height);
        PutLe16(info, recipe.planes);
        PutLe16(info, recipe.bitCount);
    } else {
        PutLe32(info, static_cast<std::uint32_t>(recipe.width));
        PutLe32(info, static_cast<std::uint32_t>(recipe.height));
        PutLe16(info, recipe.planes);
        PutLe16(info, recipe.bitCount);
        PutLe32(info, static_cast<std::uint32_t>(recipe.compression));
        PutLe32(info, static_cast<std::uint32_t>(recipe.pixels.size()));
        PutLe32(info, 2835);
        PutLe32(info, 2835);
        PutLe32(info, static_cast<std::uint32_t>(recipe.coloursUsed));
        PutLe32(info, 0);
        info.resize(static_cast<std::size_t>(recipe.headerSize), 0);
    }
    const std::size_t offset = 14 + info.size() + recipe.masks.size() + recipe.palette.size();
    Bytes file = {'B', 'M'};
    PutLe32(file, static_cast<std::uint32_t>(offset + recipe.pixels.size()));
    PutLe32(file, 0);
    PutLe32(file, static_cast<std::uint32_t>(offset));
    const Bytes* parts[] = {&info, &recipe.masks, &recipe.palette, &recipe.pixels};
    for (const Bytes* part : parts) {
        file.insert(file.end(), part->begin(), part->end());
    }
    return file;
}

int StoredStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

std::string WriteTempFile(const std::string& name, const Bytes& bytes)
{
    const fs::path path = Folder() / name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

bool LoadBytes(TBaseDib& picture, const Bytes& bytes, const std::string& name)
{
    const std::string path = WriteTempFile(name, bytes);
    const bool loaded = picture.LoadFile(path);
    fs::remove(path);
    return loaded;
}

void KeepAsSeed(const std::string& format, const std::string& name, const Bytes& bytes)
{
    const char* seeds = std::getenv("DISCFORGE_PICTURE_SEEDS");
    if (!seeds || !*seeds) {
        return;
    }
    const fs::path folder = fs::path(seeds) / format;
    fs::create_directories(folder);
    std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> RandomBytes(std::mt19937& random, std::size_t count, int limit)
{
    std::uniform_int_distribution<int> value(0, limit - 1);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(value(random));
    }
    return bytes;
}

int IndexAt(const TBaseDib& picture, int x, int r)
{
    const std::uint8_t* row = picture.Row(r);
    switch (picture.Depth()) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    case 8: return row[x];
    default: throw std::logic_error("not a palette picture");
    }
}

Rgb ColourAt(const TBaseDib& picture, int x, int r)
{
    const std::uint8_t* row = picture.Row(r);
    switch (picture.Depth()) {
    case 1:
    case 4:
    case 8: {
        const std::uint8_t* entry = picture.ColourTableData() + 4 * IndexAt(picture, x, r);
        return {entry[0], entry[1], entry[2]};
    }
    case 15:
    case 16: {
        const int word = row[2 * x] | (row[2 * x + 1] << 8);
        return {static_cast<std::uint8_t>((word & 31) << 3), static_cast<std::uint8_t>(((word >> 5) & 31) << 3),
                static_cast<std::uint8_t>(((word >> 10) & 31) << 3)};
    }
    case 24: return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
    case 32: return {row[4 * x], row[4 * x + 1], row[4 * x + 2]};
    default: throw std::logic_error("no such depth");
    }
}

namespace {

class BitWriter {
public:
    void Put(int code, int size)
    {
        accumulator_ |= static_cast<std::uint32_t>(code) << bits_;
        bits_ += size;
        while (bits_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(accumulator_));
            accumulator_ >>= 8;
            bits_ -= 8;
        }
    }
    Bytes Finish()
    {
        if (bits_ > 0) {
            bytes_.push_back(static_cast<std::uint8_t>(accumulator_));
        }
        return bytes_;
    }

private:
    Bytes bytes_;
    std::uint32_t accumulator_ = 0;
    int bits_ = 0;
};

} // namespace

Bytes GifImageData(const std::vector<std::uint8_t>& indices, int initialCodeSize)
{
    const int clear = 1 << initialCodeSize;
    const int end = clear + 1;
    BitWriter writer;
    std::map<std::pair<int, int>, int> table;
    int size = initialCodeSize + 1;
    int next = clear + 2;
    writer.Put(clear, size);
    int prefix = -1;
    for (std::uint8_t value : indices) {
        if (prefix < 0) {
            prefix = value;
            continue;
        }
        const auto found = table.find({prefix, value});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        writer.Put(prefix, size);
        table[{prefix, value}] = next++;
        // The decoder adds its entry one code later, so it widens its codes when
        // our next code passes the current limit.
        if (next > (1 << size) && size < 12) {
            ++size;
        }
        if (next == 4096) {
            writer.Put(clear, size);
            table.clear();
            size = initialCodeSize + 1;
            next = clear + 2;
        }
        prefix = value;
    }
    if (prefix >= 0) {
        writer.Put(prefix, size);
        // The decoder's entry for this last code may widen the end code.
        if (next >= (1 << size) && size < 12) {
            ++size;
        }
    }
    writer.Put(end, size);
    const Bytes packed = writer.Finish();
    Bytes blocks;
    for (std::size_t i = 0; i < packed.size(); i += 255) {
        const std::size_t length = std::min<std::size_t>(255, packed.size() - i);
        blocks.push_back(static_cast<std::uint8_t>(length));
        blocks.insert(blocks.end(), packed.begin() + static_cast<std::ptrdiff_t>(i),
                      packed.begin() + static_cast<std::ptrdiff_t>(i + length));
    }
    blocks.push_back(0);
    return blocks;
}

Bytes MakeJpeg(int width, int height, int components, const std::vector<std::uint8_t>& pixels,
               bool progressive, int quality)
{
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = components;
    compressor.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    if (progressive) {
        jpeg_simple_progression(&compressor);
    }
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() +
                                            static_cast<std::size_t>(compressor.next_scanline) * width * components);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::vector<std::uint8_t> DecodeJpegPlain(const Bytes& jpeg, int& width, int& height, int& components, bool fast)
{
    jpeg_decompress_struct decompressor;
    jpeg_error_mgr errors;
    decompressor.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decompressor);
    jpeg_mem_src(&decompressor, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&decompressor, TRUE);
    if (fast) {
        decompressor.dct_method = JDCT_IFAST;
        decompressor.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&decompressor);
    width = static_cast<int>(decompressor.output_width);
    height = static_cast<int>(decompressor.output_height);
    components = decompressor.output_components;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * components);
    while (decompressor.output_scanline < decompressor.output_height) {
        JSAMPROW row = pixels.data() + static_cast<std::size_t>(decompressor.output_scanline) * width * components;
        jpeg_read_scanlines(&decompressor, &row, 1);
    }
    jpeg_finish_decompress(&decompressor);
    jpeg_destroy_decompress(&decompressor);
    return pixels;
}

} // namespace discforge::test
