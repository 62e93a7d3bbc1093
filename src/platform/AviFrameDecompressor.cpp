// The decompressor of AviFile.h. While frames are asked for in order, the frames
// after the one handed out (a few of them) are decoded and
// converted on a thread of the decompressor's own, so that decoding overlaps the
// caller's work and keeps the decoder's own threads fed; any other order is
// served on the caller's thread. Either way a request gets the frame that
// decoding on from the stream's position would give. A frame asked for by its
// rows is kept as decoded where it can be, and so are the frames read ahead
// while the requests come that way: its rows are converted when the caller
// makes them, or the whole of it when a later request wants its bitmap.
//
// Each activation of an input closes the input's decompressor and opens a new one:
// the frames the old one holds (the last handed out and the one read ahead) wait
// for the next decompressor made, which keeps them if it reads the same file, so
// that asking again for one of them, as every activation does for the last frame,
// costs no decoding. The frame handed out before such a request waits in its place:
// a run asks for the first frame again right after its activation. At most two
// frames wait, and only until then; the next decompressor lets go of them once it
// reads frames in order.
#include "platform/AviFile.h"

#include "platform/FfmpegError.h"
#include "platform/FileIdentity.h"
#include "platform/MediaMessages.h"
#include "platform/VideoCursor.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <vector>

namespace discforge {

// A frame one decompressor hands to the next of the same file.
constexpr std::size_t handedFrames = 2;
// Frames read ahead of the one handed out: more than one lets the decoder run
// on through a frame that takes long to decode. Converted, each costs a whole
// 32-bit picture; kept as decoded, it costs far less, and more of them keep the
// decoder's threads busy through a longer wait of the caller, such as the
// encoder's on a picture that is hard to encode.
constexpr std::size_t readAheadConverted = 2;
constexpr std::size_t readAheadDecoded = 4;
struct HandedFrame {
    std::int64_t index = -1;
    std::vector<std::uint8_t> bitmap;
};

class AviFrameDecompressor::Impl {
public:
    Impl(std::unique_ptr<VideoCursor> decoding, std::int64_t frames, std::vector<std::uint8_t> emptyBitmap);
    ~Impl();

    AviFrameRows GetFrameRows(std::int64_t position, bool bandsWanted);
    AviDecodeStatistics Statistics();

    std::vector<std::uint8_t> bitmap;
    std::string lastError;
    const int width; // of the decoded pictures
    const int height;
    const std::size_t frameBytes;

private:
    // What the read-ahead found: the step of the cursor and, for a frame, its
    // number and whether it was converted into `pixels` or kept as `bands`.
    struct Ahead {
        CursorStep step = CursorStep::End;
        std::int64_t index = -1;
        bool converted = false;
        std::string error;
        std::vector<std::uint8_t> pixels;
        std::unique_ptr<Yuv420Bands> bands;

        bool Made() const { return converted || bands != nullptr; }
    };

    // The cursor's frame kept as `bands` where that is wanted and it can be,
    // else converted into `into`, made a bitmap first when it is none.
    bool Take(std::vector<std::uint8_t>& into, std::unique_ptr<Yuv420Bands>& bands, bool bandsWanted,
        std::string& error);
    bool Fill(std::vector<std::uint8_t>& into, std::string& error);
    // A bitmap of the frame size with its header, made when `into` is none; false when memory runs out.
    bool Sized(std::vector<std::uint8_t>& into) const;
    // Converts a frame kept as decoded into the bitmap `into`, and lets go of it;
    // false when there is no memory for the bitmap.
    bool Unfold(std::unique_ptr<Yuv420Bands>& bands, std::vector<std::uint8_t>& into) const;
    AviFrameRows Handed(bool bandsWanted);
    AviFrameRows Deliver(std::int64_t index, std::int64_t position, std::int64_t previous, bool bandsWanted);
    bool DecodeOn(std::int64_t position, bool decodedAny, bool bandsWanted);
    // The next result read ahead, waiting for it while the thread reads on when
    // `waitForIt`; none when nothing more is read ahead.
    bool TakeAhead(Ahead& taken, bool waitForIt);
    void Recycle(std::vector<std::uint8_t>&& pixels);
    // With the mutex held: a bitmap of the frame size becomes a spare.
    void KeepSpare(std::vector<std::uint8_t>&& pixels);
    // Stops reading ahead and lets go of the frames read ahead, which no longer
    // follow the frame handed out.
    void DiscardAhead();
    void StartReadAhead();
    // Lets a frame being read ahead finish, then stops reading ahead: the cursor
    // and the frames read ahead are then the caller's.
    void StopReadAhead();
    void ReadAhead();

    std::vector<std::uint8_t> header; // of every bitmap
    std::unique_ptr<VideoCursor> cursor;
    std::int64_t length = 0;
    std::int64_t pictureIndex = -1;
    std::unique_ptr<Yuv420Bands> pictureBands; // the frame handed out, while `bitmap` does not hold it yet
    std::int64_t knownEnd = -1; // no frame numbered from here on exists

    std::thread thread;
    std::mutex mutex;
    std::condition_variable wanted;
    std::condition_variable done;
    // Guarded by mutex. While `busy` the thread owns the cursor; `ahead` follows
    // the frame handed out, in order.
    bool reading = false;
    bool readBands = false; // the frames read ahead are kept as decoded
    bool busy = false;
    bool stop = false;
    std::deque<Ahead> ahead;
    std::vector<std::vector<std::uint8_t>> spare;
    std::string path;
    FileIdentity identity;
    std::vector<HandedFrame> inherited; // from the decompressor closed before this one was made
};

namespace {

// The frames of the decompressor closed last, until the next one is made.
class WaitingFrames {
public:
    void Leave(const std::string& path, const FileIdentity& identity, std::vector<HandedFrame> frames)
    {
        std::lock_guard lock(mutex_);
        path_ = path;
        identity_ = identity;
        frames_ = std::move(frames);
    }
    // The frames, when they are of this file; either way none wait any longer.
    std::vector<HandedFrame> Arrive(const std::string& path, const FileIdentity& identity)
    {
        std::lock_guard lock(mutex_);
        std::vector<HandedFrame> frames = std::move(frames_);
        frames_.clear();
        if (path != path_ || !(identity == identity_)) {
            frames.clear();
        }
        return frames;
    }

private:
    std::mutex mutex_;
    std::string path_;
    FileIdentity identity_;
    std::vector<HandedFrame> frames_;
};

WaitingFrames& Waiting()
{
    static WaitingFrames waiting;
    return waiting;
}

} // namespace

AviFrameDecompressor::Impl::Impl(
    std::unique_ptr<VideoCursor> decoding, std::int64_t frames, std::vector<std::uint8_t> emptyBitmap)
    : bitmap(std::move(emptyBitmap))
    , width(decoding->Width())
    , height(decoding->Height())
    , frameBytes(bitmap.size())
    , header(bitmap.begin(), bitmap.begin() + static_cast<std::ptrdiff_t>(std::min(bitmap.size(), bitmapInfoHeaderSize)))
    , cursor(std::move(decoding))
    , length(frames)
    , path(cursor->Source().Path())
    , identity(FileIdentity::Of(path))
    , inherited(Waiting().Arrive(path, identity))
{
    // Frames of another picture size (other decoder settings) are of no use here.
    std::erase_if(inherited, [&](const HandedFrame& frame) { return frame.bitmap.size() != bitmap.size(); });
}

AviFrameDecompressor::Impl::~Impl()
{
    // A frame being read ahead is finished, so that it can be handed on.
    StopReadAhead();
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    wanted.notify_all();
    if (thread.joinable()) {
        thread.join();
    }
    // The frames this one holds, else those it was given and did not use.
    std::vector<HandedFrame> frames;
    if (pictureIndex >= 0 && Unfold(pictureBands, bitmap)) {
        frames.push_back(HandedFrame{pictureIndex, std::move(bitmap)});
    }
    if (!ahead.empty() && ahead.front().step == CursorStep::Frame && ahead.front().Made()
        && Unfold(ahead.front().bands, ahead.front().pixels)) {
        frames.push_back(HandedFrame{ahead.front().index, std::move(ahead.front().pixels)});
    }
    for (HandedFrame& frame : inherited) {
        if (frames.size() < handedFrames) {
            frames.push_back(std::move(frame));
        }
    }
    Waiting().Leave(path, identity, std::move(frames));
}

namespace {

// Where the top row of a bitmap of `columns` x `rows` goes: it is stored last.
std::uint8_t* TopRow(std::vector<std::uint8_t>& bitmap, int columns, int rows)
{
    return bitmap.data() + bitmapInfoHeaderSize
        + static_cast<std::size_t>(rows - 1) * static_cast<std::size_t>(columns) * 4;
}

} // namespace

bool AviFrameDecompressor::Impl::Fill(std::vector<std::uint8_t>& into, std::string& error)
{
    if (!cursor->Convert(TopRow(into, width, height), -width * 4, true)) {
        error = cursor->LastError();
        return false;
    }
    return true;
}

bool AviFrameDecompressor::Impl::Take(
    std::vector<std::uint8_t>& into, std::unique_ptr<Yuv420Bands>& bands, bool bandsWanted, std::string& error)
{
    bands = bandsWanted ? cursor->HoldBands() : nullptr;
    if (bands != nullptr) {
        return true;
    }
    if (!Sized(into)) {
        error = MediaText(media_messages::outOfMemory, "a frame");
        return false;
    }
    return Fill(into, error);
}

bool AviFrameDecompressor::Impl::Sized(std::vector<std::uint8_t>& into) const
{
    if (into.size() == frameBytes) {
        return true;
    }
    try {
        into.assign(frameBytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::copy(header.begin(), header.end(), into.begin());
    return true;
}

bool AviFrameDecompressor::Impl::Unfold(std::unique_ptr<Yuv420Bands>& bands, std::vector<std::uint8_t>& into) const
{
    if (bands == nullptr) {
        return true;
    }
    if (!Sized(into)) {
        return false;
    }
    bands->MakeRows(0, height, TopRow(into, width, height), -std::ptrdiff_t{width} * 4);
    bands.reset();
    return true;
}

void AviFrameDecompressor::Impl::ReadAhead()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wanted.wait(lock, [this] {
            return stop || (reading && ahead.size() < (readBands ? readAheadDecoded : readAheadConverted));
        });
        if (stop) {
            return;
        }
        Ahead result;
        const bool bandsWanted = readBands;
        if (!bandsWanted && !spare.empty()) {
            result.pixels = std::move(spare.back());
            spare.pop_back();
        }
        busy = true;
        lock.unlock();
        result.step = cursor->DecodeNext();
        if (result.step == CursorStep::Frame) {
            result.index = cursor->FrameIndex();
            const bool made = Take(result.pixels, result.bands, bandsWanted, result.error);
            result.converted = made && result.bands == nullptr;
        } else if (result.step == CursorStep::Failed) {
            result.error = cursor->LastError();
        }
        lock.lock();
        busy = false;
        // Past the stream's end or a failure there is nothing more to read.
        reading = reading && result.step == CursorStep::Frame;
        ahead.push_back(std::move(result));
        done.notify_all();
    }
}

void AviFrameDecompressor::Impl::StartReadAhead()
{
    std::unique_lock lock(mutex);
    if (!ahead.empty() && ahead.back().step != CursorStep::Frame) {
        return;
    }
    // Room for every frame read ahead (the bitmaps handed out are swapped back
    // in); frames kept as decoded need none.
    try {
        while (!readBands && spare.size() + ahead.size() < readAheadConverted) {
            spare.push_back(bitmap); // the same header
        }
        if (!thread.joinable()) {
            thread = std::thread([this] {
                pthread_setname_np(pthread_self(), "decode ahead");
                ReadAhead();
            });
        }
    } catch (const std::bad_alloc&) {
        return;
    } catch (const std::system_error&) {
        return;
    }
    reading = true;
    wanted.notify_all();
}

void AviFrameDecompressor::Impl::StopReadAhead()
{
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return !reading || !ahead.empty(); });
    reading = false;
    done.wait(lock, [this] { return !busy; });
}

bool AviFrameDecompressor::Impl::TakeAhead(Ahead& taken, bool waitForIt)
{
    std::unique_lock lock(mutex);
    if (waitForIt) {
        done.wait(lock, [this] { return !reading || !ahead.empty(); });
    }
    if (ahead.empty()) {
        return false;
    }
    taken = std::move(ahead.front());
    ahead.pop_front();
    return true;
}

void AviFrameDecompressor::Impl::KeepSpare(std::vector<std::uint8_t>&& pixels)
{
    if (pixels.size() == bitmap.size()) {
        spare.push_back(std::move(pixels));
    }
}

void AviFrameDecompressor::Impl::Recycle(std::vector<std::uint8_t>&& pixels)
{
    std::lock_guard lock(mutex);
    KeepSpare(std::move(pixels));
    wanted.notify_all();
}

void AviFrameDecompressor::Impl::DiscardAhead()
{
    StopReadAhead();
    std::lock_guard lock(mutex);
    for (Ahead& result : ahead) {
        KeepSpare(std::move(result.pixels));
    }
    ahead.clear();
}

// Hands out frame `index`, now in `bitmap`, for `position`. Asking for the frame
// after the one handed out before is reading in order: the next ones are read ahead.
// The first frame asked of a decompressor is not read on from: each activation asks
// for the last frame next, which reading ahead would only hold up.
AviFrameRows AviFrameDecompressor::Impl::Deliver(
    std::int64_t index, std::int64_t position, std::int64_t previous, bool bandsWanted)
{
    pictureIndex = index;
    if (previous >= 0 && position == previous + 1) {
        // Frames read in order after one another: a run or playback, not the look
        // at the first and last frames the taken-over frames are kept for.
        inherited.clear();
        StartReadAhead();
    }
    return Handed(bandsWanted);
}

// The frame handed out, converted now unless its bands are wanted.
AviFrameRows AviFrameDecompressor::Impl::Handed(bool bandsWanted)
{
    if (!bandsWanted && !Unfold(pictureBands, bitmap)) {
        lastError = MediaText(media_messages::outOfMemory, "a frame");
        return {};
    }
    if (pictureBands != nullptr) {
        return AviFrameRows{nullptr, pictureBands.get()};
    }
    return AviFrameRows{bitmap.data(), nullptr};
}

AviDecodeStatistics AviFrameDecompressor::Impl::Statistics()
{
    // The thread touches the cursor only while busy, and becomes busy only under the lock.
    std::unique_lock lock(mutex);
    done.wait(lock, [this] { return !busy; });
    return AviDecodeStatistics{cursor->FramesDecoded(), cursor->Seeks()};
}

// Decodes on from the cursor's position to the first frame numbered `position`
// or later, seeking first where that is cheaper.
bool AviFrameDecompressor::Impl::DecodeOn(std::int64_t position, bool decodedAny, bool bandsWanted)
{
    if (cursor->ShouldSeekFor(position) && !cursor->SeekTo(position)) {
        lastError = cursor->LastError();
        return false;
    }
    for (;;) {
        CursorStep step = cursor->DecodeToward(position);
        if (step == CursorStep::End) {
            if (decodedAny) {
                knownEnd = cursor->NextIndex();
            }
            lastError = MediaText(media_messages::endOfStream, static_cast<long long>(position));
            return false;
        }
        if (step == CursorStep::Failed) {
            lastError = cursor->LastError();
            return false;
        }
        decodedAny = true;
        if (cursor->FrameIndex() < position) {
            continue;
        }
        // A frame missing from the file is answered with the next one there is.
        return Take(bitmap, pictureBands, bandsWanted, lastError);
    }
}

AviFrameRows AviFrameDecompressor::Impl::GetFrameRows(std::int64_t position, bool bandsWanted)
{
    if (position < 0 || (length > 0 && position >= length)) {
        lastError = MediaText(media_messages::frameOutside, static_cast<long long>(position));
        return {};
    }
    {
        std::lock_guard lock(mutex);
        readBands = bandsWanted;
    }
    if (position == pictureIndex) {
        return Handed(bandsWanted);
    }
    if (knownEnd >= 0 && position >= knownEnd) {
        lastError = MediaText(media_messages::endOfStream, static_cast<long long>(position));
        return {};
    }
    const auto given = std::find_if(
        inherited.begin(), inherited.end(), [&](const HandedFrame& frame) { return frame.index == position; });
    if (given != inherited.end()) {
        // The stream's position stays where it was: the next frame is found as after
        // any jump, by seeking or decoding on.
        DiscardAhead();
        const bool handedKept = pictureIndex >= 0 && Unfold(pictureBands, bitmap);
        pictureBands.reset();
        bitmap.swap(given->bitmap);
        if (handedKept) {
            given->index = pictureIndex;
        } else {
            inherited.erase(given);
        }
        pictureIndex = position;
        return Handed(bandsWanted);
    }
    const std::int64_t previous = pictureIndex;
    // The next frame comes from the read-ahead as it goes on; any other request stops it.
    const bool inOrder = position == previous + 1;
    if (!inOrder) {
        StopReadAhead();
    }
    pictureIndex = -1;
    pictureBands.reset();
    bool decodedAny = false;
    // The read-ahead decoded on from the frame handed out last, as this request
    // would when it lies further on; a request further back seeks instead.
    Ahead taken;
    while (position > previous && TakeAhead(taken, inOrder)) {
        if (taken.step == CursorStep::Frame && taken.index >= position && taken.Made()) {
            if (taken.bands != nullptr) {
                pictureBands = std::move(taken.bands);
            } else {
                bitmap.swap(taken.pixels);
            }
            Recycle(std::move(taken.pixels));
            return Deliver(taken.index, position, previous, bandsWanted);
        }
        Recycle(std::move(taken.pixels));
        if (taken.step != CursorStep::Frame || taken.index >= position) {
            lastError = taken.step == CursorStep::End
                ? MediaText(media_messages::endOfStream, static_cast<long long>(position))
                : taken.error;
            DiscardAhead();
            return {};
        }
        decodedAny = true;
    }
    DiscardAhead();
    if (!DecodeOn(position, decodedAny, bandsWanted)) {
        return {};
    }
    return Deliver(cursor->FrameIndex(), position, previous, bandsWanted);
}

AviFrameDecompressor::AviFrameDecompressor(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl))
{
}
AviFrameDecompressor::~AviFrameDecompressor() = default;

std::unique_ptr<AviFrameDecompressor> AviFrameDecompressor::Create(
    std::unique_ptr<VideoCursor> cursor, std::int64_t length, std::vector<std::uint8_t> emptyBitmap)
{
    return std::make_unique<AviFrameDecompressor>(
        std::make_unique<Impl>(std::move(cursor), length, std::move(emptyBitmap)));
}

const std::uint8_t* AviFrameDecompressor::GetFrame(std::int64_t position)
{
    return impl_->GetFrameRows(position, false).packed;
}
AviFrameRows AviFrameDecompressor::GetFrameRows(std::int64_t position) { return impl_->GetFrameRows(position, true); }
std::size_t AviFrameDecompressor::FrameBytes() const { return impl_->frameBytes; }
int AviFrameDecompressor::FrameWidth() const { return impl_->width; }
int AviFrameDecompressor::FrameHeight() const { return impl_->height; }
std::string AviFrameDecompressor::LastError() const { return impl_->lastError; }
AviDecodeStatistics AviFrameDecompressor::Statistics() const { return impl_->Statistics(); }

} // namespace discforge
