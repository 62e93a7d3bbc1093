#include "LumaCompare.h"

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace discforge::bench {

std::vector<std::vector<uint8_t>> SourceLuma(const std::vector<std::vector<uint8_t>>& topDownPictures, int width,
                                             int height)
{
    SwsContext* scaler = sws_getContext(width, height, AV_PIX_FMT_BGR0, width, height, AV_PIX_FMT_YUV420P,
                                        SWS_BICUBIC, nullptr, nullptr, nullptr);
    std::vector<std::vector<uint8_t>> luma;
    std::vector<uint8_t> chroma(static_cast<std::size_t>(width) * height / 2);
    for (const std::vector<uint8_t>& picture : topDownPictures) {
        std::vector<uint8_t> y(static_cast<std::size_t>(width) * height);
        const uint8_t* source[4] = {picture.data(), nullptr, nullptr, nullptr};
        const int sourceStride[4] = {width * 4, 0, 0, 0};
        uint8_t* target[4] = {y.data(), chroma.data(), chroma.data() + chroma.size() / 2, nullptr};
        const int targetStride[4] = {width, width / 2, width / 2, 0};
        sws_scale(scaler, source, sourceStride, 0, height, target, targetStride);
        luma.push_back(std::move(y));
    }
    sws_freeContext(scaler);
    return luma;
}

LumaScore CompareLuma(const std::string& mpegPath, const std::vector<std::vector<uint8_t>>& sourceLuma, int width,
                      int height)
{
    LumaScore score;
    // DVD navigation packs carry no time; FFmpeg's remark about that is noise here.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, mpegPath.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(input, nullptr) < 0) {
        score.error = "cannot open " + mpegPath;
        avformat_close_input(&input);
        return score;
    }
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    AVCodecContext* decoder = stream >= 0 ? avcodec_alloc_context3(codec) : nullptr;
    if (decoder == nullptr || avcodec_parameters_to_context(decoder, input->streams[stream]->codecpar) < 0 ||
        avcodec_open2(decoder, codec, nullptr) < 0) {
        score.error = "cannot decode " + mpegPath;
        avcodec_free_context(&decoder);
        avformat_close_input(&input);
        return score;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    double squaredError = 0;
    int64_t samples = 0;
    const auto takeFrames = [&] {
        while (avcodec_receive_frame(decoder, frame) >= 0) {
            const auto index = static_cast<std::size_t>(score.pictures++);
            if (index < sourceLuma.size() && frame->width == width && frame->height == height) {
                for (int y = 0; y < height; ++y) {
                    const uint8_t* decoded = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
                    const uint8_t* original = sourceLuma[index].data() + static_cast<std::size_t>(y) * width;
                    for (int x = 0; x < width; ++x) {
                        const double difference = static_cast<double>(decoded[x]) - original[x];
                        squaredError += difference * difference;
                    }
                }
                samples += static_cast<int64_t>(width) * height;
            }
            av_frame_unref(frame);
        }
    };
    while (av_read_frame(input, packet) >= 0) {
        if (packet->stream_index == stream) {
            score.videoBytes += packet->size;
            if (avcodec_send_packet(decoder, packet) >= 0) {
                takeFrames();
            }
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr);
    takeFrames();
    if (samples > 0) {
        const double meanSquaredError = squaredError / static_cast<double>(samples);
        score.psnr = meanSquaredError > 0 ? 10.0 * std::log10(255.0 * 255.0 / meanSquaredError) : 99.0;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return score;
}

} // namespace discforge::bench
