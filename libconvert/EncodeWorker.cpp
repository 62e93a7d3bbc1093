#include "EncodeWorker.h"

#include "EncoderMessages.h"
#include "SoftPulldown.h"

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

EncodeStatus EncodeWorker::Start(const InputShape& input)
{
    const DiscProfile& profile = profile_;
    EncodeStatus status = video_.Open(profile);
    if (status.Ok()) {
        const int64_t samples = av_rescale_rnd(
            input.pictures, int64_t{profile.audioSampleRate} * profile.frameRateDen, profile.frameRateNum, AV_ROUND_UP);
        status = sound_.Open(profile, input.sampleRate, samples);
    }
    if (status.Ok()) {
        status = writer_.Open(video_.Context(), sound_.Context(),
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

EncodeStatus EncodeWorker::EncodeSound(const std::vector<uint8_t>& samples, bool last, EncodeJob& job)
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
    EncodeStatus status = sound_.Feed(samples.data(), samples.size() / 4, keep);
    if (status.Ok() && last) {
        status = sound_.Finish(keep);
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
