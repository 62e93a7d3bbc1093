#include "EncodeSession.h"

#include "EncodeWorker.h"
#include "EncoderMessages.h"
#include "FirstPass.h"
#include "OutputFiles.h"
#include "PictureConverter.h"
#include "SoundPuller.h"

#include <chrono>
#include <functional>
#include <string>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace discforge::convert {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int largestSide = 8192;
constexpr int lowestRate = 8000;
constexpr int highestRate = 192000;
constexpr int64_t bytesPerMegabyte = 1024 * 1024;
// How long the caller's thread waits for the encoder before it looks at the window again.
constexpr std::chrono::milliseconds waitStep{50};
constexpr std::chrono::milliseconds progressStep{100};

EncodeStatus Refuse(const char* what)
{
    return EncodeStatus::Fail(ENCODE_BAD_PARAMETERS, message::Substitute(message::badParameters, {what}));
}

EncodeStatus Cancelled() { return EncodeStatus::Fail(ENCODE_CANCELLED, ""); }

// Keeps the view current at a steady pace, however often it is asked.
class ProgressPace {
public:
    ProgressPace(ProgressView& view, int64_t total)
        : view_(view)
        , total_(total)
    {
    }
    // Pictures of the second of two passes count after all those of the first.
    void StartPass(int pass, int passes)
    {
        pass_ = pass;
        passes_ = passes;
        before_ = total_ / passes * (pass - 1);
    }
    void Tick(int64_t done, bool now = false)
    {
        const Clock::time_point time = Clock::now();
        if (now || time - lastShown_ >= progressStep) {
            lastShown_ = time;
            view_.Show({before_ + done, total_, std::chrono::duration<double>(time - start_).count(), pass_, passes_});
        }
    }

private:
    ProgressView& view_;
    int64_t total_;
    int64_t before_ = 0;
    int pass_ = 1;
    int passes_ = 1;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastShown_{};
};

// Asks the caller for one picture and converts it to the disc's format at once, as it
// is valid only until the next call.
EncodeStatus FetchPicture(
    const EncodeParameters& p, int32_t frameIndex, PictureConverter& converter, FrameHandle& picture)
{
    int32_t rowBytes = 0;
    const uint8_t* pixels = nullptr;
    const int32_t result = p.supplyVideoFrame(frameIndex, &rowBytes, &pixels);
    const std::string frame = std::to_string(frameIndex);
    if (result != 0) {
        return EncodeStatus::Fail(
            ENCODE_CALLBACK_FAILED, message::Substitute(message::videoCallbackFailed, {frame, std::to_string(result)}));
    }
    const int expectedRowBytes = p.width * 4;
    if (rowBytes != expectedRowBytes) {
        return EncodeStatus::Fail(ENCODE_CALLBACK_FAILED,
            message::Substitute(
                message::badRowBytes, {frame, std::to_string(rowBytes), std::to_string(expectedRowBytes)}));
    }
    if (pixels == nullptr) {
        return EncodeStatus::Fail(ENCODE_CALLBACK_FAILED, message::Substitute(message::noPixels, {frame}));
    }
    return converter.Convert(pixels, picture);
}

// Encodes every picture once to learn its cost; the statistics are the second pass's.
EncodeStatus RunFirstPass(const EncodeParameters& p, const DiscProfile& profile, PictureConverter& converter,
    ProgressPace& pace, const std::function<bool()>& cancelRequested, std::string& statistics)
{
    const int64_t pictures = int64_t{p.lastFrame} - p.firstFrame + 1;
    FirstPass first;
    EncodeStatus status = first.Open(profile);
    for (int64_t n = 0; n < pictures && status.Ok(); ++n) {
        if (cancelRequested()) {
            return Cancelled();
        }
        FrameHandle picture;
        status = FetchPicture(p, static_cast<int32_t>(p.firstFrame + n), converter, picture);
        if (status.Ok()) {
            picture->pts = n;
            status = first.Encode(picture.get());
        }
        pace.Tick(n + 1);
    }
    if (status.Ok()) {
        status = first.Encode(nullptr);
    }
    statistics = first.Statistics();
    return status;
}

} // namespace

EncodeStatus CheckParameters(const EncodeParameters& parameters)
{
    if (parameters.outputName == nullptr || parameters.outputName[0] == '\0') {
        return Refuse("no output name");
    }
    if (parameters.supplyVideoFrame == nullptr || parameters.supplyAudio == nullptr) {
        return Refuse("a callback is missing");
    }
    if (parameters.width < 2 || parameters.height < 2 || parameters.width > largestSide
        || parameters.height > largestSide) {
        return Refuse("picture size");
    }
    if (parameters.firstFrame < 0 || parameters.lastFrame < parameters.firstFrame) {
        return Refuse("no pictures");
    }
    if (parameters.firstSample < 0) {
        return Refuse("first sound sample");
    }
    if (parameters.sampleRate < lowestRate || parameters.sampleRate > highestRate) {
        return Refuse("sound sample rate");
    }
    if (parameters.bitsPerSample != 16) {
        return Refuse("bits per sound sample");
    }
    if (parameters.splitSizeMB < 0) {
        return Refuse("split size");
    }
    return EncodeStatus::Done();
}

EncodeSession::EncodeSession(const DiscProfile& profile, const EncodeParameters& parameters, ProgressView& progress,
    const std::atomic<bool>& stop, TrackPlan tracks)
    : profile_(profile)
    , parameters_(parameters)
    , progress_(progress)
    , stop_(stop)
    , tracks_(std::move(tracks))
{
}

bool EncodeSession::CancelRequested() const { return stop_.load() || progress_.CancelRequested(); }

EncodeStatus EncodeSession::Run()
{
    const EncodeParameters& p = parameters_;
    const int64_t pictures = int64_t{p.lastFrame} - p.firstFrame + 1;
    // Sound sample frames at the caller's rate that play with the first n pictures.
    const auto soundFor = [&](int64_t n) {
        return av_rescale_rnd(n, int64_t{p.sampleRate} * profile_.frameRateDen, profile_.frameRateNum, AV_ROUND_UP);
    };

    OutputFiles files(p.outputName);
    PictureConverter converter;
    EncodeStatus status = converter.Open(p.width, p.height, profile_);
    if (!status.Ok()) {
        return status;
    }
    const int passes = profile_.twoPasses ? 2 : 1;
    ProgressPace pace(progress_, pictures * passes);
    DiscProfile profile = profile_;
    if (profile_.twoPasses) {
        pace.StartPass(1, passes);
        pace.Tick(0, true);
        status = RunFirstPass(
            p, profile_, converter, pace, [this] { return CancelRequested(); }, profile.firstPassStatistics);
        if (!status.Ok()) {
            return status;
        }
        profile.pass = EncoderPass::second;
        pace.StartPass(2, passes);
    }
    EncodeWorker worker(profile, files, int64_t{p.splitSizeMB} * bytesPerMegabyte);
    status = worker.Start({p.sampleRate, pictures}, tracks_);
    if (!status.Ok()) {
        return status;
    }
    // A little more than the pictures need, for the resampler's look-ahead.
    SoundPuller sound(p.supplyAudio, p.firstSample, p.lastSample, soundFor(pictures) + 64);
    pace.Tick(0, true);

    const auto submit = [&](EncodeJob& job) {
        while (!worker.Submit(job, waitStep)) {
            pace.Tick(worker.PicturesEncoded());
            if (CancelRequested()) {
                return Cancelled();
            }
        }
        return EncodeStatus::Done();
    };

    // The sound of each picture, in one buffer that keeps its room from picture to picture.
    std::vector<uint8_t> samples;
    for (int64_t n = 0; n < pictures && status.Ok() && !worker.Stopped(); ++n) {
        if (CancelRequested()) {
            status = Cancelled();
            break;
        }
        EncodeJob job;
        job.pictureNumber = n;
        samples.clear();
        status = FetchPicture(p, static_cast<int32_t>(p.firstFrame + n), converter, job.picture);
        if (status.Ok()) {
            status = sound.PullUntil(soundFor(n + 1), samples);
        }
        if (status.Ok()) {
            status = worker.EncodeSound(samples, false, n + 1, job);
        }
        if (status.Ok()) {
            status = submit(job);
        }
        pace.Tick(worker.PicturesEncoded());
    }

    if (status.Ok() && !worker.Stopped()) {
        EncodeJob last;
        samples.clear();
        status = sound.PullRest(samples);
        if (status.Ok()) {
            status = worker.EncodeSound(samples, true, pictures, last);
        }
        if (status.Ok()) {
            status = submit(last);
        }
        while (status.Ok() && !worker.WaitForEnd(waitStep)) {
            pace.Tick(worker.PicturesEncoded());
            if (CancelRequested()) {
                status = Cancelled();
            }
        }
    }
    if (!status.Ok()) {
        worker.Abort();
    }
    const EncodeStatus encoded = worker.Result();
    if (status.Ok()) {
        status = encoded;
    }
    if (status.Ok()) {
        pace.Tick(pictures, true);
        status = files.Commit();
    }
    return status;
}

} // namespace discforge::convert
