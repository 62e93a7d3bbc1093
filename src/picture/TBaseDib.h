// The in-memory picture: a device-independent bitmap in one owned block.
//
// Block layout (what Header() points at, BlockSize() bytes in all):
//   40-byte bitmap information header (size 40, width, positive height, planes 1,
//   bit count, compression 0, image size = stride x height, four zero fields),
//   ColourCount() entries of 4 bytes (blue, green, red, 0),
//   Height() rows of Stride() bytes, bottom row first; padding bytes are zero.
// 24-bit pixels are blue, green, red; 32-bit pixels blue, green, red, X, and every
// operation writes X as 0; 16-bit pixels are 5-5-5 words (red in bits 10-14).
//
// The picture owns its block. Pointers from Header(), Pixels() and Row() stay valid
// until the next call that loads, allocates or transforms the picture. Errors are
// return values; the reason is left in ErrorText().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "picture/PictureBlock.h"
#include "picture/PictureLayout.h"
#include "picture/ReaderState.h"

namespace discforge {

enum class PictureFormat : int { none = 0, bmp = 1, gif = 2, jpeg = 3, pcx = 4, targa = 5, png = 6 };

class PictureBands;
class Rescaler;

// A size a reader is asked for (LeastSizeRule).
struct ReadSize {
    int width = 0;
    int height = 0;
};

// A frame surface: `height` rows from the top row at `rows`, `pitch` bytes apart
// (negative for a picture stored bottom row first), each holding at least
// width x 4 bytes (blue, green, red, X).
struct SurfaceRows {
    int width = 0;
    int height = 0;
    int pitch = 0;
    const std::uint8_t* rows = nullptr;

    // Pixels that CopyFromSurface takes: a picture of at least one pixel.
    bool Usable() const
    {
        return rows && width > 0 && height > 0 && std::abs(static_cast<std::int64_t>(pitch)) >= std::int64_t{4} * width;
    }
};

// The pixels of a 32-bit packed bitmap (information header, colour table, rows
// bottom-up or, with a negative height, top-down) as surface rows, read in
// place; false for any other depth or a bitmap `frameBytes` does not hold whole.
bool PackedBitmapRows(const std::uint8_t* frame, std::size_t frameBytes, SurfaceRows& rows);

class TBaseDib {
public:
    static constexpr std::size_t errorTextSize = 260;

    TBaseDib();
    virtual ~TBaseDib();
    TBaseDib(const TBaseDib&) = delete;
    TBaseDib& operator=(const TBaseDib&) = delete;

    // Loads a BMP, PCX, GIF, Targa, JPEG or PNG file, recognised by its content.
    // A JPEG stands upright by its recorded orientation.
    virtual bool LoadFile(const std::string& path);
    // The same on a stream opened for binary reading and positioned at its start;
    // `name` stands for the path in messages. The caller keeps the stream.
    bool LoadStream(std::FILE* stream, const std::string& name);
    // Reads a file only as far as its kind and declared size, with the same
    // size limits as LoadFile: true when LoadFile may go on to read its pixels.
    // The picture keeps its pixels, and this read is not counted in LoadCount.
    bool ProbeFile(const std::string& path);
    // Files this picture has started to read (LoadFile, LoadStream), for those
    // who must know how often a picture was decoded.
    int LoadCount() const { return loadCount_; }

    // The least upright size the user of a picture of width x height (upright)
    // needs. A reader that can reduce while reading (JPEG, by its transform's
    // scaling) reads at the smallest size not below it; the others read the
    // full size. Empty: always the full size.
    using LeastSizeRule = std::function<ReadSize(int width, int height)>;
    void SetLeastSize(LeastSizeRule rule) { leastSize_ = std::move(rule); }

    // (Re)creates the block for a picture of this size and depth (1, 4, 8, 15,
    // 16, 24 or 32). A block that already has them is kept with its pixels; any
    // other starts black.
    bool AllocatePicture(int width, int height, int depth);

    // --- Operations. Those that change size or depth build the result in a work
    // block and commit it, so the picture is never half old, half new. The
    // picture's block and the work block trade places on commit and keep their
    // memory for later sizes that fit, so operations that repeat every frame
    // allocate nothing. `contents` unset is for an operation that writes every
    // byte of the new picture itself.
    bool PrepareWork(int width, int height, int depth, PictureBlock::Contents contents = PictureBlock::Contents::black);
    void CommitWork();
    // Makes the picture 24 or 32 bits per pixel; true at once when it already is.
    bool ConvertDepth(int targetDepth);
    // Turns n 32-bit pixels into m: linear between pixels when enlarging, area
    // average when reducing, a plain copy when n = m. X of every new pixel is 0.
    static void ResampleRow(const std::uint8_t* source, std::uint8_t* destination, int n, int m);
    // Scales to newWidth x newHeight (made 32-bit first), then centres the result
    // on black in frameWidth x frameHeight when that is bigger.
    bool Rescale(int newWidth, int newHeight, int frameWidth, int frameHeight);
    // CopyFromSurface and then Rescale, in one pass over the surface: the same
    // picture without the copy. A surface CopyFromSurface would refuse, or one
    // without pixels, goes through the two steps and fails or scales as they do.
    bool RescaleFromSurface(const SurfaceRows& surface, int newWidth, int newHeight, int frameWidth,
                            int frameHeight);
    // The same for a picture whose rows are made on request, scaled down in
    // height (Rescaler::ScaleBands); false, with the picture as it was, for any
    // other scaling or when it fails.
    bool RescaleFromBands(const PictureBands& bands, int newWidth, int newHeight, int frameWidth, int frameHeight);
    // Centres the picture (made 32-bit first) on black in a frame; an odd surplus
    // of black goes to the top and to the right. A larger picture keeps its middle.
    bool CentreInFrame(int frameWidth, int frameHeight);
    // Cuts width x height out of the picture (made 32-bit first) from x (from the
    // left) and y (from the top); where the picture ends, black, centred like
    // CentreInFrame.
    bool Crop(int x, int y, int width, int height);
    // Every even row from 2 up becomes the average of its neighbours, in place.
    void Deinterlace();
    bool FlipVertical();
    // Turns or mirrors the picture upright by an Exif orientation (1-8,
    // ExifOrientation.h); 1 and unknown values leave it as it is. 8, 24 and
    // 32 bits keep their depth, other depths become 32.
    bool Orient(int orientation);
    // A black 32-bit picture of this size.
    bool CreateBlank(int width, int height);
    // Takes the other picture's description (error text, declared size and depth,
    // current row, path, format, reader state), not its pixels.
    void CopyDescription(const TBaseDib& other);
    // Fills the picture (32-bit) from a packed bitmap: information header, colour
    // table, rows padded to 4 bytes, bottom-up or (negative height) top-down.
    // `frameBytes` is how many bytes `frame` holds; nothing outside is read.
    bool LoadPackedBitmap(const std::uint8_t* frame, std::size_t frameBytes);
    // Fills the picture (32-bit) from surface rows: the top row at `rows`, the
    // next `pitch` bytes on (negative for rows stored bottom row first).
    bool CopyFromSurface(int width, int height, int pitch, const std::uint8_t* rows);
    bool CopyFromSurface(const SurfaceRows& surface)
    {
        return CopyFromSurface(surface.width, surface.height, surface.pitch, surface.rows);
    }

    // The operations look at this flag between rows and stop early when it is set
    // (the conversion's stop request). Null: never stop. Not owned.
    void SetStopFlag(const bool* stopFlag) { stopFlag_ = stopFlag; }

    // --- What users of the picture read.
    bool HasPicture() const { return !block_.Empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Depth() const { return depth_; }
    int Stride() const { return stride_; }
    int RowBytes() const { return rowBytes_; }
    int ColourCount() const { return colourCount_; }
    std::size_t BlockSize() const { return block_.Size(); }
    // Start of the block (the information header); null without a picture.
    const std::uint8_t* Header() const { return block_.Data(); }
    // The colour table; null when the picture has none.
    std::uint8_t* ColourTableData() { return colourCount_ ? block_.Data() + 40 : nullptr; }
    const std::uint8_t* ColourTableData() const { return colourCount_ ? block_.Data() + 40 : nullptr; }
    // The first (bottom) row; null without a picture.
    std::uint8_t* Pixels() { return pixels_; }
    const std::uint8_t* Pixels() const { return pixels_; }
    // Memory row r (0 is the bottom line of the picture).
    std::uint8_t* Row(int r) { return pixels_ + static_cast<std::ptrdiff_t>(r) * stride_; }
    const std::uint8_t* Row(int r) const { return pixels_ + static_cast<std::ptrdiff_t>(r) * stride_; }

    const char* ErrorText() const { return errorText_; }
    const std::string& Path() const { return path_; }
    PictureFormat Format() const { return format_; }
    // The size the file declares; for a JPEG turned upright, the upright size.
    int DeclaredWidth() const { return declaredWidth_; }
    int DeclaredHeight() const { return declaredHeight_; }
    int DeclaredDepth() const { return declaredDepth_; }
    int CurrentRow() const { return currentRow_; }
    const ReaderState& Reader() const { return reader_; }

protected:
    // The per-format readers, called with file_ open and positioned at the start
    // of the picture. This class reads nothing.
    virtual bool ReadBmp() { return false; }
    virtual bool ReadPcx() { return false; }
    virtual bool ReadGif() { return false; }
    virtual bool ReadTarga() { return false; }
    virtual bool ReadJpeg() { return false; }
    virtual bool ReadPng() { return false; }

    // printf-style, cut to the error text's size.
    void SetError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void SetDeclared(int width, int height, int depth);
    // SetDeclared for the size a file states; false, with the error text saying
    // so, when it is beyond maxPicturePixels and must not be read.
    // With ProbeFile both end the read (false) once the size is found acceptable.
    bool DeclareFileSize(int width, int height, int depth);
    // False, with the same error text, for a size beyond maxPicturePixels.
    bool CheckPixelLimit(int width, int height);
    // DeclareFileSize for a JPEG, which is also refused when the library would
    // need more than maxJpegDecoderBytes to decode it (`decoderBytes`).
    bool DeclareJpegSize(int width, int height, int depth, std::int64_t decoderBytes);
    // The rule's least size for a picture of width x height; that size itself without a rule.
    ReadSize LeastSizeFor(int width, int height) const;
    void SetFormat(PictureFormat format) { format_ = format; }
    // The layout of a picture of these sizes; false with the error text set when it cannot be held.
    bool LayoutFor(int width, int height, int depth, PictureLayout& layout);
    // AllocatePicture for a reader: the block, whether new or kept, starts black
    // with an all-black colour table, so rows a short file never delivers stay black.
    bool StartPicture(int width, int height, int depth);
    bool StopRequested() const { return stopFlag_ && *stopFlag_; }

    std::FILE* file_ = nullptr; // the stream of the reader that is running
    int currentRow_ = 0;        // rows delivered so far by that reader
    ReaderState reader_;

private:
    struct WorkBlock {
        PictureBlock block;
        PictureLayout layout;
        std::uint8_t* bits = nullptr;
    };

    bool AllocateBlock(PictureBlock& block, const PictureLayout& layout, PictureBlock::Contents contents);
    void AdoptLayout(const PictureLayout& layout);
    // AllocatePicture where a block of another size may start with any contents.
    bool Reshape(int width, int height, int depth, PictureBlock::Contents contents);
    bool Dispatch(const std::string& name);
    // True, noting that the header was read, when ProbeFile is reading.
    bool EndAtHeader();
    // Scales width x height 32-bit rows into the work block (32-bit, prepared
    // by the caller) at newWidth x newHeight, centred when the work block is
    // bigger; everything around the scaled rows becomes black.
    // With `bands` the rows come from them instead, reduced in height.
    bool ScaleIntoWork(const std::uint8_t* sourceBottomRow, std::ptrdiff_t sourceStep, const PictureBands* bands,
                       int width, int height, int newWidth, int newHeight);
    void PlaceRows(int sourceBottom, int targetBottom, int rowCount, int sourceLeft, int targetLeft,
                   int columnCount);
    // Makes the 32-bit work block black outside columns [left, left + columns)
    // of rows [bottom, bottom + rows); the rectangle is clipped to the block.
    void ClearWorkOutside(std::int64_t left, std::int64_t bottom, std::int64_t columns, std::int64_t rows);

    PictureBlock block_;
    std::uint8_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int depth_ = 0;
    int stride_ = 0;
    int rowBytes_ = 0;
    int colourCount_ = 0;
    bool blockKept_ = false; // the last AllocatePicture kept the block it had
    WorkBlock work_;
    std::unique_ptr<Rescaler> rescaler_; // Rescale's steps, kept for the next picture of the same sizes

    char errorText_[errorTextSize] = {};
    std::string path_;
    PictureFormat format_ = PictureFormat::none;
    int declaredWidth_ = 0;
    int declaredHeight_ = 0;
    int declaredDepth_ = 0;
    const bool* stopFlag_ = nullptr;
    int loadCount_ = 0;
    bool headerOnly_ = false; // ProbeFile is reading
    bool headerRead_ = false; // ProbeFile reached an acceptable declared size
    LeastSizeRule leastSize_;
};

} // namespace discforge
