#include "EncodeWorker.h"

#include "EncoderMessages.h"
#include "SoftPulldown.h"

#include <algorithm>
#include <new>
#include <pthread.h>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace discforge::convert {

EncodeWorker::EncodeWorker(const DiscProfile& profile, OutputFiles& files, int64_t partLimitBytes)
    : profile_(profile)
    , writer_(profile, files, partLimitBytes)
{
}

EncodeWorker::~EncodeWorker()
{
    Abort();
    if (thread_.joinable()) {
        thread_.join();
    }
}

int64_t EncodeWorker::SamplesFor(int64_t pictures) const
{
    return av_rescale_rnd(
        pictures, int64_t{profile_.audioSampleRate} * profile_.frameRateDen, profile_.frameRateNum, AV_ROUND_UP);
}

// The disc's video peak leaves room for one sound stream at the disc's rate; more
// sound streams take theirs from the video, or a peak would outrun the multiplex.
DiscProfile EncodeWorker::PeakLeftBySound(const DiscProfile& profile, const std::vector<SoundStreamSetup>& sounds)
{
    int64_t soundRate = 0;
    for (const SoundStreamSetup& setup : sounds) {
        soundRate += setup.parameters ? setup.parameters->bit_rate : 0;
    }
    DiscProfile lowered = profile;
    const int64_t extra = soundRate - profile.audioBitRate;
    if (extra > 0 && profile.videoMaxRate > 0) {
        lowered.videoMaxRate = std::max(profile.videoMaxRate - extra, profile.videoBitRate);
    }
    return lowered;
}

EncodeStatus EncodeWorker::Start(const InputShape& input, const TrackPlan& tracks)
{
    const DiscProfile& profile = profile_;
    supplyWritten_ = !tracks.replaceSupply || tracks.tracks.empty();
    std::vector<SoundStreamSetup> sounds;
    EncodeStatus status = EncodeStatus::Done();
    const int64_t samples = SamplesFor(input.pictures);
    if (supplyWritten_) {
        status = sound_.Open(profile, input.sampleRate, samples);
        SoundStreamSetup setup{CodecParametersHandle(avcodec_parameters_alloc()), AVRational{1, 1}};
        if (status.Ok() && setup.parameters) {
            const int error = avcodec_parameters_from_context(setup.parameters.get(), sound_.Context());
            status = error < 0 ? EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avcodec_parameters_from_context()", error))
                               : EncodeStatus::Done();
            setup.timeBase = sound_.Context()->time_base;
        }
        sounds.push_back(std::move(setup));
    }
    for (std::size_t i = 0; i < tracks.tracks.size() && status.Ok(); ++i) {
        auto track = std::make_unique<TrackSource>();
        status = track->Open(tracks.tracks[i], profile, samples, static_cast<int>(sounds.size()));
        SoundStreamSetup setup{CodecParametersHandle(avcodec_parameters_alloc()), AVRational{1, 1}};
        if (status.Ok() && setup.parameters) {
            status = track->Describe(setup.parameters.get(), setup.timeBase);
        }
        sounds.push_back(std::move(setup));
        tracks_.push_back(std::move(track));
        trackEndTold_.push_back(false);
    }
    if (status.Ok()) {
        status = video_.Open(PeakLeftBySound(profile, sounds));
    }
    if (status.Ok()) {
        status = writer_.Open(video_.Context(), std::move(sounds),
            profile.softPulldown ? pulldownFieldBase : AVRational{0, 0});
    }
    if (!status.Ok()) {
        stopped_ = true;
        return status;
    }
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "mpeg encoder");
        Run();
    });
    return status;
}

EncodeStatus EncodeWorker::EncodeSound(
    const std::vector<uint8_t>& samples, bool last, int64_t pictures, EncodeJob& job)
{
    const PacketSink keep = [&job](AVPacket* packet) {
        PacketHandle kept(av_packet_alloc());
        if (!kept) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        av_packet_move_ref(kept.get(), packet);
        job.sound.push_back(std::move(kept));
        return EncodeStatus::Done();
    };
    const PacketSink keepFirst = [&keep](AVPacket* packet) {
        packet->stream_index = 0;
        return keep(packet);
    };
    EncodeStatus status;
    if (supplyWritten_) {
        status = sound_.Feed(samples.data(), samples.size() / 4, keepFirst);
        if (status.Ok() && last) {
            status = sound_.Finish(keepFirst);
        }
    }
    const int64_t covered = SamplesFor(pictures);
    for (std::size_t i = 0; i < tracks_.size() && status.Ok(); ++i) {
        TrackSource& track = *tracks_[i];
        status = last ? track.Finish(keep) : track.ReadUntil(covered, keep);
        if (track.Ended() && !trackEndTold_[i]) {
            trackEndTold_[i] = true;
            job.soundEnded.push_back(static_cast<int>(i) + (supplyWritten_ ? 1 : 0));
        }
    }
    return status;
}

bool EncodeWorker::Submit(EncodeJob& job, std::chrono::milliseconds wait)
{
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, wait, [this] { return queue_.size() < queueLength || stopped_ || abort_; })) {
        return false;
    }
    if (!stopped_ && !abort_) {
        queue_.push_back(std::move(job));
        changed_.notify_all();
    }
    return true;
}

bool EncodeWorker::WaitForEnd(std::chrono::milliseconds wait)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, wait, [this] { return stopped_.load(); });
}

void EncodeWorker::Abort()
{
    std::lock_guard lock(mutex_);
    abort_ = true;
    queue_.clear();
    changed_.notify_all();
}

EncodeStatus EncodeWorker::Result()
{
    if (thread_.joinable()) {
        thread_.join();
    }
    return result_;
}

void EncodeWorker::Run()
{
    EncodeStatus status;
    for (;;) {
        EncodeJob job;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || abort_; });
            if (abort_) {
                status = EncodeStatus::Fail(ENCODE_CANCELLED, "");
                break;
            }
            job = std::move(queue_.front());
            queue_.pop_front();
            changed_.notify_all();
        }
        const bool last = !job.picture;
        try {
            status = last ? Finish(job) : Process(job);
        } catch (const std::bad_alloc&) {
            status = EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        if (!status.Ok() || last) {
            break;
        }
    }
    std::lock_guard lock(mutex_);
    result_ = status;
    stopped_ = true;
    queue_.clear();
    changed_.notify_all();
}

EncodeStatus EncodeWorker::WriteSound(EncodeJob& job)
{
    for (PacketHandle& packet : job.sound) {
        EncodeStatus status = writer_.AddAudio(packet.get());
        if (!status.Ok()) {
            return status;
        }
    }
    for (const int stream : job.soundEnded) {
        EncodeStatus status = writer_.EndAudio(stream);
        if (!status.Ok()) {
            return status;
        }
    }
    return EncodeStatus::Done();
}

PacketSink EncodeWorker::ToWriterVideo()
{
    if (!profile_.softPulldown) {
        return [this](AVPacket* packet) { return writer_.AddVideo(packet); };
    }
    return [this](AVPacket* packet) {
        EncodeStatus status = ApplyPulldown(*packet);
        return status.Ok() ? writer_.AddVideo(packet) : status;
    };
}

EncodeStatus EncodeWorker::Process(EncodeJob& job)
{
    const PacketSink toWriterVideo = ToWriterVideo();
    job.picture->pts = job.pictureNumber;
    EncodeStatus status = WriteSound(job);
    if (status.Ok()) {
        status = video_.Encode(job.picture.get(), toWriterVideo);
    }
    picturesEncoded_.fetch_add(1);
    return status;
}

EncodeStatus EncodeWorker::Finish(EncodeJob& job)
{
    const PacketSink toWriterVideo = ToWriterVideo();
    EncodeStatus status = WriteSound(job);
    if (status.Ok()) {
        status = video_.Encode(nullptr, toWriterVideo);
    }
    if (status.Ok()) {
        status = writer_.Finish();
    }
    return status;
}

} // namespace discforge::convert
