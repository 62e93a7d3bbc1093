// The encoder's picture callback: turns an output frame number into a fitted
// 32-bit picture of the current input, from its streams, from the AVI reader or
// from its list of pictures.
//
// The picture handed out is the work picture's pixel block: rows of exactly
// width x 4 bytes, bottom row first. It stays valid until the next call; the
// encoder copies what it keeps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "input/PictureOptions.h"
#include "picture/FieldFitting.h"
#include "picture/TBaseDib.h"
#include "picture/TFullDib.h"

namespace discforge {

class AppParts;
class AviFrameDecompressor;
class ListFile;
enum class FitMode;
struct FitRequest;
struct InputEntry;
class SampleStream;
struct SurfaceRows;

enum VideoSupplyResult : int {
    videoOk = 0,
    videoFetchFailed = 2,
    videoLockFailed = 4, // also every failure of the AVI reader's frames
    videoUnlockFailed = 5,
    videoCopyFailed = 6,
    videoListRewindFailed = 7,
    videoListEnded = 8,
    videoPictureLoadFailed = 9,
    videoDepthFailed = 10,
    videoFlipFailed = 11,
    videoCropFailed = 12,
    videoFillInFailed = 13,
    videoCutFailed = 14,
    videoProportionalFailed = 15,
};

class VideoSupply {
public:
    explicit VideoSupply(AppParts& core)
        : core_(core)
    {
    }

    int SupplyVideoFrame(int frameIndex, std::int32_t* rowBytes, const std::uint8_t** pixels);
    // Keeps framePosition inside the selected frames and makes it the shown frame.
    void ClampFramePosition();
    // The frames a run encodes from the current input in batch mode, else from
    // every input: each input's selected frames at the output's rate. The
    // output preview steps through them.
    unsigned OutputFrames() const;

    int ShownFrame() const { return shownFrame_; }

    // The picture of a list that output frame `frameIndex` shows: the list plays
    // at its frameRate, and its last selected picture holds to the end.
    static int ListPictureOfFrame(const InputEntry& entry, int frameIndex, int tvStandard);
    // The frame of the current input's AVI reader that output frame
    // `frameIndex` shows: mapped by the rates, held at the last one that decodes.
    int AviReaderFrameOf(int frameIndex) const;
    // The input's options with the size the picture is handed out at; the
    // output preview fits its picture to the same size.
    PictureOptions HandedOutAs(PictureOptions options) const;
    // How small a list picture may be read for `request`: the fitted size,
    // or empty (the whole picture) where the options work on the picture's own
    // pixels (deinterlacing, a crop rectangle, the crop fitting).
    static TBaseDib::LeastSizeRule ListReadSize(const PictureOptions& options, const FitRequest& request);

private:
    InputEntry* CurrentEntry();
    int SupplyFromAviReader(int frameIndex, std::int32_t* rowBytes, const std::uint8_t** pixels);
    // Fetches the frame, then makes the picture from the locked surface.
    int SupplyStreamFrame(
        int index, int frameIndex, const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels);
    // The fitted picture made from the stream's frame as bands; nothing where the
    // fitting does not scale it down or the stream does not keep it as decoded.
    std::optional<int> FitStreamBands(SampleStream& stream, const InputEntry& entry, const PictureOptions& options,
        std::int32_t* rowBytes, const std::uint8_t** pixels);
    // The picture of list line shownFrame_, fitted; a run's frames that show
    // the same line hand out the picture made for the first of them.
    int SupplyListPicture(
        int index, const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels);
    // Reads the picture of list line `line` into the work picture, no smaller
    // than the fitting needs; a picture refused during a run is named to the user.
    int LoadListPicture(InputEntry& entry, const PictureOptions& options, int line);
    FitRequest FitRequestFor(const PictureOptions& options) const;
    static int FitFailure(FitMode mode);
    // No option but the fitting changes the picture, so it can be made from the rows in
    // one step; pictures of two fields are fitted field by field from the copied picture.
    bool OnlyFitting(const PictureOptions& options) const;
    int FitRows(
        const SurfaceRows& rows, const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels);
    // Applies the options and the fitting, then hands out the work picture.
    int Finish(const PictureOptions& options, std::int32_t* rowBytes, const std::uint8_t** pixels);
    int HandOut(std::int32_t* rowBytes, const std::uint8_t** pixels);
    // The work picture with the current input's burnt-in subtitle of the frame asked for
    // laid over it, in a picture of its own: the work picture may serve the next frame
    // as it is. Null when no subtitle shows.
    const TFullDib* WithSubtitle();

    // What the work picture was last made from by the AVI reader's path in a
    // run. An output rate above the input's shows some frames twice; the second
    // time the picture made the first time is handed out again.
    struct MadeFrame {
        const AviFrameDecompressor* decompressor = nullptr;
        const void* rows = nullptr; // the decompressor's bitmap or bands of the frame
        int input = -1;
        int frame = -1;
        PictureOptions options;

        friend bool operator==(const MadeFrame&, const MadeFrame&) = default;
    };

    // What the work picture was last made from by the list path in a run, and
    // how many files it had read then: a preview that read another into it
    // meanwhile makes it read again.
    struct MadeListPicture {
        int input = -1;
        int line = -1;
        PictureOptions options;
        int loads = 0;

        friend bool operator==(const MadeListPicture&, const MadeListPicture&) = default;
    };

    AppParts& core_;
    int shownFrame_ = 0;
    int askedFrame_ = 0; // the output frame of the running call
    TFullDib subtitled_;
    std::optional<MadeFrame> made_;
    std::optional<MadeListPicture> madeList_;
    FieldFitting fieldFitting_;
};

} // namespace discforge
