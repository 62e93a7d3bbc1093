// The decompressor of AviFile.h. While frames are asked for in order, the frames
// after the one handed out (up to readAheadFrames of them) are decoded and
// converted on a thread of the decompressor's own, so that decoding overlaps the
// caller's work and keeps the decoder's own threads fed; any other order is
// served on the caller's thread. Either way a request gets the frame that
// decoding on from the stream's position would give.
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
// Frames converted ahead of the one handed out: more than one lets the decoder
// run on through a frame that takes long to decode, at a whole picture each.
constexpr std::size_t readAheadFrames = 2;
struct HandedFrame {
    std::int64_t index = -1;
    std::vector<std::uint8_t> bitmap;
};

class AviFrameDecompressor::Impl {
public:
    Impl(std::unique_ptr<VideoCursor> decoding, std::int64_t frames, std::vector<std::uint8_t> emptyBitmap);
    ~Impl();

    const std::uint8_t* GetFrame(std::int64_t position);
    AviDecodeStatistics Statistics();

    std::vector<std::uint8_t> bitmap;
    std::string lastError;

private:
    // What the read-ahead found: the step of the cursor and, for a frame, its
    // number and whether it was converted into `pixels`.
    struct Ahead {
        CursorStep step = CursorStep::End;
        std::int64_t index = -1;
        bool converted = false;
        std::string error;
        std::vector<std::uint8_t> pixels;
    };

    bool Fill(std::vector<std::uint8_t>& into, std::string& error);
    const std::uint8_t* Deliver(std::int64_t index, std::int64_t position, std::int64_t previous);
    const std::uint8_t* DecodeOn(std::int64_t position, bool decodedAny);
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

    std::unique_ptr<VideoCursor> cursor;
    std::int64_t length = 0;
    std::int64_t pictureIndex = -1;
    std::int64_t knownEnd = -1; // no frame numbered from here on exists

    std::thread thread;
    std::mutex mutex;
    std::condition_variable wanted;
    std::condition_variable done;
    // Guarded by mutex. While `busy` the thread owns the cursor; `ahead` follows
    // the frame handed out, in order.
    bool reading = false;
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
    if (pictureIndex >= 0) {
        frames.push_back(HandedFrame{pictureIndex, std::move(bitmap)});
    }
    if (!ahead.empty() && ahead.front().step == CursorStep::Frame && ahead.front().converted) {
        frames.push_back(HandedFrame{ahead.front().index, std::move(ahead.front().pixels)});
    }
    for (HandedFrame& frame : inherited) {
        if (frames.size() < handedFrames) {
            frames.push_back(std::move(frame));
        }
    }
    Waiting().Leave(path, identity, std::move(frames));
}

bool AviFrameDecompressor::Impl::Fill(std::vector<std::uint8_t>& into, std::string& error)
{
    const int width = cursor->Width();
    const int height = cursor->Height();
    const int pitch = width * 4;
    std::uint8_t* bottomRowFirst = into.data() + bitmapInfoHeaderSize;
    // The picture's top row is stored last.
    std::uint8_t* topRow = bottomRowFirst + static_cast<std::size_t>(height - 1) * static_cast<std::size_t>(pitch);
    if (!cursor->Convert(topRow, -pitch, true)) {
        error = cursor->LastError();
        return false;
    }
    return true;
}

void AviFrameDecompressor::Impl::ReadAhead()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wanted.wait(lock, [this] { return stop || (reading && ahead.size() < readAheadFrames && !spare.empty()); });
        if (stop) {
            return;
        }
        Ahead result;
        result.pixels = std::move(spare.back());
        spare.pop_back();
        busy = true;
        lock.unlock();
        result.step = cursor->DecodeNext();
        if (result.step == CursorStep::Frame) {
            result.index = cursor->FrameIndex();
            result.converted = Fill(result.pixels, result.error);
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
    // Room for every frame read ahead (the bitmaps handed out are swapped back in).
    try {
        while (spare.size() + ahead.size() < readAheadFrames) {
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
const std::uint8_t* AviFrameDecompressor::Impl::Deliver(
    std::int64_t index, std::int64_t position, std::int64_t previous)
{
    pictureIndex = index;
    if (previous >= 0 && position == previous + 1) {
        // Frames read in order after one another: a run or playback, not the look
        // at the first and last frames the taken-over frames are kept for.
        inherited.clear();
        StartReadAhead();
    }
    return bitmap.data();
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
const std::uint8_t* AviFrameDecompressor::Impl::DecodeOn(std::int64_t position, bool decodedAny)
{
    if (cursor->ShouldSeekFor(position) && !cursor->SeekTo(position)) {
        lastError = cursor->LastError();
        return nullptr;
    }
    for (;;) {
        CursorStep step = cursor->DecodeToward(position);
        if (step == CursorStep::End) {
            if (decodedAny) {
                knownEnd = cursor->NextIndex();
            }
            lastError = MediaText(media_messages::endOfStream, static_cast<long long>(position));
            return nullptr;
        }
        if (step == CursorStep::Failed) {
            lastError = cursor->LastError();
            return nullptr;
        }
        decodedAny = true;
        if (cursor->FrameIndex() < position) {
            continue;
        }
        // A frame missing from the file is answered with the next one there is.
        if (!Fill(bitmap, lastError)) {
            return nullptr;
        }
        return bitmap.data();
    }
}

const std::uint8_t* AviFrameDecompressor::Impl::GetFrame(std::int64_t position)
{
    if (position < 0 || (length > 0 && position >= length)) {
        lastError = MediaText(media_messages::frameOutside, static_cast<long long>(position));
        return nullptr;
    }
    if (position == pictureIndex) {
        return bitmap.data();
    }
    if (knownEnd >= 0 && position >= knownEnd) {
        lastError = MediaText(media_messages::endOfStream, static_cast<long long>(position));
        return nullptr;
    }
    const auto given = std::find_if(
        inherited.begin(), inherited.end(), [&](const HandedFrame& frame) { return frame.index == position; });
    if (given != inherited.end()) {
        // The stream's position stays where it was: the next frame is found as after
        // any jump, by seeking or decoding on.
        DiscardAhead();
        bitmap.swap(given->bitmap);
        if (pictureIndex >= 0) {
            given->index = pictureIndex;
        } else {
            inherited.erase(given);
        }
        pictureIndex = position;
        return bitmap.data();
    }
    const std::int64_t previous = pictureIndex;
    // The next frame comes from the read-ahead as it goes on; any other request stops it.
    const bool inOrder = position == previous + 1;
    if (!inOrder) {
        StopReadAhead();
    }
    pictureIndex = -1;
    bool decodedAny = false;
    // The read-ahead decoded on from the frame handed out last, as this request
    // would when it lies further on; a request further back seeks instead.
    Ahead taken;
    while (position > previous && TakeAhead(taken, inOrder)) {
        if (taken.step == CursorStep::Frame && taken.index >= position && taken.converted) {
            bitmap.swap(taken.pixels);
            Recycle(std::move(taken.pixels));
            return Deliver(taken.index, position, previous);
        }
        Recycle(std::move(taken.pixels));
        if (taken.step != CursorStep::Frame || taken.index >= position) {
            lastError = taken.step == CursorStep::End
                ? MediaText(media_messages::endOfStream, static_cast<long long>(position))
                : taken.error;
            DiscardAhead();
            return nullptr;
        }
        decodedAny = true;
    }
    DiscardAhead();
    if (DecodeOn(position, decodedAny) == nullptr) {
        return nullptr;
    }
    return Deliver(cursor->FrameIndex(), position, previous);
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

const std::uint8_t* AviFrameDecompressor::GetFrame(std::int64_t position) { return impl_->GetFrame(position); }
std::size_t AviFrameDecompressor::FrameBytes() const { return impl_->bitmap.size(); }
std::string AviFrameDecompressor::LastError() const { return impl_->lastError; }
AviDecodeStatistics AviFrameDecompressor::Statistics() const { return impl_->Statistics(); }

} // namespace discforge
