#include "platform/StreamInfoCache.h"

#include "platform/FileIdentity.h"

#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace discforge::stream_info_cache {

namespace {

struct ParametersFree {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
using Parameters = std::unique_ptr<AVCodecParameters, ParametersFree>;

struct ProbedStream {
    Parameters parameters;
    AVRational timeBase{};
    AVRational averageRate{};
    AVRational realRate{};
    std::int64_t startTime = AV_NOPTS_VALUE;
    std::int64_t duration = AV_NOPTS_VALUE;
    std::int64_t frames = 0;
};

struct ProbedFile {
    std::string path;
    FileIdentity identity;
    std::string demuxer;
    std::vector<ProbedStream> streams;
    std::int64_t startTime = AV_NOPTS_VALUE;
    std::int64_t duration = AV_NOPTS_VALUE;
    std::int64_t bitRate = 0;
    int durationMethod = AVFMT_DURATION_FROM_PTS;
};

// A few files: a batch activates its inputs in turn.
constexpr std::size_t keptFiles = 8;

std::mutex& Guard()
{
    static std::mutex guard;
    return guard;
}

std::deque<ProbedFile>& Files()
{
    static std::deque<ProbedFile> files;
    return files;
}

// The streams the demuxer found are those probing described.
bool SameStreams(const AVFormatContext* context, const ProbedFile& file)
{
    if (file.demuxer != context->iformat->name || file.streams.size() != context->nb_streams) {
        return false;
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        const ProbedStream& probed = file.streams[i];
        if (stream->codecpar->codec_type != probed.parameters->codec_type
            || stream->codecpar->codec_id != probed.parameters->codec_id
            || av_cmp_q(stream->time_base, probed.timeBase) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

bool Applicable(const AVFormatContext* context)
{
    // Only demuxers that set up every stream from the file's header: for the
    // others, which streams exist is itself what probing finds.
    static constexpr const char* headerDemuxers[] = {"mov,mp4,m4a,3gp,3g2,mj2", "matroska,webm"};
    if ((context->ctx_flags & AVFMTCTX_NOHEADER) != 0 || context->nb_streams == 0) {
        return false;
    }
    for (const char* name : headerDemuxers) {
        if (std::strcmp(context->iformat->name, name) == 0) {
            return true;
        }
    }
    return false;
}

bool Apply(AVFormatContext* context, const std::string& path)
{
    const FileIdentity identity = FileIdentity::Of(path);
    std::lock_guard lock(Guard());
    for (const ProbedFile& file : Files()) {
        if (file.path != path || !(file.identity == identity) || !SameStreams(context, file)) {
            continue;
        }
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            AVStream* stream = context->streams[i];
            const ProbedStream& probed = file.streams[i];
            if (avcodec_parameters_copy(stream->codecpar, probed.parameters.get()) < 0) {
                return false;
            }
            stream->avg_frame_rate = probed.averageRate;
            stream->r_frame_rate = probed.realRate;
            stream->start_time = probed.startTime;
            stream->duration = probed.duration;
            stream->nb_frames = probed.frames;
        }
        context->start_time = file.startTime;
        context->duration = file.duration;
        context->bit_rate = file.bitRate;
        context->duration_estimation_method = static_cast<AVDurationEstimationMethod>(file.durationMethod);
        return true;
    }
    return false;
}

void Keep(const AVFormatContext* context, const std::string& path)
{
    ProbedFile file;
    file.path = path;
    file.identity = FileIdentity::Of(path);
    file.demuxer = context->iformat->name;
    file.startTime = context->start_time;
    file.duration = context->duration;
    file.bitRate = context->bit_rate;
    file.durationMethod = context->duration_estimation_method;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        Parameters parameters(avcodec_parameters_alloc());
        if (parameters == nullptr || avcodec_parameters_copy(parameters.get(), stream->codecpar) < 0) {
            return;
        }
        file.streams.push_back(ProbedStream{std::move(parameters), stream->time_base, stream->avg_frame_rate,
            stream->r_frame_rate, stream->start_time, stream->duration, stream->nb_frames});
    }
    std::lock_guard lock(Guard());
    std::deque<ProbedFile>& files = Files();
    std::erase_if(files, [&](const ProbedFile& kept) { return kept.path == path; });
    files.push_front(std::move(file));
    if (files.size() > keptFiles) {
        files.pop_back();
    }
}

} // namespace discforge::stream_info_cache
