// Feeds an encoder and hands every packet it gives back to a sink.
#pragma once

#include "EncodeStatus.h"

#include <functional>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace discforge::convert {

// Receives each packet of an encoder; the packet is unreferenced after the call.
using PacketSink = std::function<EncodeStatus(AVPacket*)>;

// Sends one frame (null drains the encoder) and passes on the packets that are ready.
EncodeStatus EncodeAndDrain(AVCodecContext* encoder, const AVFrame* frame, AVPacket* scratch, const PacketSink& sink);

} // namespace discforge::convert
