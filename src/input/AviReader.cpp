#include "input/AviReader.h"

#include "core/ControlIds.h"
#include "core/ConversionSettings.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/InputDecoderOptions.h"
#include "input/ReaderMessages.h"
#include "input/VideoStreamReader.h"
#include "ports/ControlSurface.h"

#include <cstring>

namespace discforge {

namespace {

std::uint32_t Le32(const std::uint8_t* at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::uint16_t Le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

char HandlerCharacter(std::uint32_t handler, int i) { return static_cast<char>((handler >> (8 * i)) & 0xFF); }

} // namespace

AviReader::AviReader(MediaInputContext context, VideoStreamReader& streams)
    : context_(context)
    , streams_(streams)
{
}

AviReaderEntry& AviReader::Entry(int index)
{
    return context_.media.avi.aviReaderTable[static_cast<std::size_t>(index)];
}

void AviReader::Show(const std::string& text, const char* context)
{
    ShowMessage(context_.ports.messages, text, context);
}

void AviReader::ReleaseAviReader(int index)
{
    AviReaderEntry& entry = Entry(index);
    entry.getFrame.reset();
    entry.videoAviStream.reset();
    entry.audioAviStream.reset();
    entry.aviFile.reset();
}

bool AviReader::InitAviReader(int index)
{
    AviReaderEntry& entry = Entry(index);
    if (entry.aviFile) {
        return true;
    }
    MediaError error;
    entry.aviFile = AviFile::Open(entry.path, error);
    if (!entry.aviFile) {
        Show(FormatText(reader_message::aviCannotOpen, entry.path.c_str()), reader_message::contextAviLoading);
        return false;
    }
    entry.videoAviStream = entry.aviFile->GetStream(aviStreamTypeVideo, 0);
    if (entry.videoAviStream) {
        entry.streamInfo = entry.videoAviStream->Info();
        entry.getFrame = entry.videoAviStream->OpenDecompressor(
            error, DecoderOptionsFor(context_.settings, context_.inputs.inputTable[static_cast<std::size_t>(index)]));
        if (!entry.getFrame) {
            const std::uint32_t handler = entry.streamInfo.handler;
            Show(FormatText(reader_message::aviNoDecompressorBefore, entry.path.c_str(), HandlerCharacter(handler, 0),
                     HandlerCharacter(handler, 1), HandlerCharacter(handler, 2), HandlerCharacter(handler, 3))
                    + reader_message::supportAddress + reader_message::aviNoDecompressorAfter,
                reader_message::contextAviLoading);
            return false;
        }
    }
    entry.audioAviStream = entry.aviFile->GetStream(aviStreamTypeAudio, 0);
    if (!entry.videoAviStream && !entry.audioAviStream) {
        Show(FormatText(reader_message::aviNoStreams, entry.path.c_str()), reader_message::contextAviLoading);
        return false;
    }
    return true;
}

bool AviReader::Refuse(int index, const std::string& text, const char* context)
{
    streams_.ReleaseStreams(index);
    Show(text, context);
    return false;
}

int AviReader::LastDecodableFrame(AviReaderEntry& entry)
{
    // The decompressor remembers where the stream ended, so frames past the
    // end of a truncated file are refused without decoding again.
    std::int64_t k = static_cast<std::int64_t>(entry.streamInfo.start) + entry.fileInfo.length - 1;
    while (k > 0 && entry.getFrame->GetFrame(k) == nullptr) {
        --k;
    }
    return static_cast<int>(k < 0 ? 0 : k);
}

void AviReader::DeactivateOthers(int index)
{
    InputTableState& inputs = context_.inputs;
    for (int other : {inputs.selectedInput, inputs.currentInput}) {
        if (other == index || other < 0 || other >= inputs.inputCount) {
            continue;
        }
        InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(other)];
        if (entry.isVideoFile) {
            streams_.ReleaseStreams(other);
        } else {
            entry.listFile.Close();
        }
    }
    inputs.selectedInput = index;
    inputs.currentInput = index;
}

bool AviReader::OpenAviReader(int index)
{
    AviReaderEntry& entry = Entry(index);
    InputEntry& input = context_.inputs.inputTable[static_cast<std::size_t>(index)];
    entry.path = input.path;
    entry.videoReady = false;
    entry.hasAudio = false;
    // Frames of this decoder come upright. The input's other picture options are
    // the user's: opening the input set their defaults, and every activation
    // (a selection, a run) passes through here again.
    if (!context_.media.run.conversionActive) {
        input.pictureOptions.invert = false;
        context_.ports.controls.SetChecked(control::invertCheck, false);
    }
    ReleaseAviReader(index);
    if (!InitAviReader(index)) {
        streams_.ReleaseStreams(index);
        return false;
    }
    entry.fileInfo = entry.aviFile->Info();
    if (entry.videoAviStream) {
        entry.streamInfo = entry.videoAviStream->Info();
        const int start = static_cast<int>(entry.streamInfo.start);
        const std::uint8_t* first = entry.getFrame->GetFrame(start);
        if (first == nullptr) {
            return Refuse(index, FormatText(reader_message::aviNoFrame, start, entry.path.c_str()),
                reader_message::contextOpenAvi);
        }
        const int bits = Le16(first + 14);
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            return Refuse(index, reader_message::aviBadBits, reader_message::contextOpenAvi);
        }
        if (Le32(first + 16) != 0) {
            return Refuse(index, reader_message::aviNotRgb, reader_message::contextOpenAvi);
        }
        entry.sourceBits = bits;
        const int last = LastDecodableFrame(entry);
        if (last == 0) {
            return Refuse(index, reader_message::aviNoLastFrame, reader_message::contextOpenAvi);
        }
        entry.selectionEnd = entry.lastFrame = last;
        entry.selectionStart = entry.firstFrame = entry.position = start;
        entry.openMarker = 1;
        entry.totalFrames = entry.selectedFrames = entry.fileInfo.length;
        const double rate
            = entry.streamInfo.scale != 0 ? static_cast<double>(entry.streamInfo.rate) / entry.streamInfo.scale : 0.0;
        entry.msPerFrame = rate > 0 ? static_cast<int>(1000.0 / rate) : 0;
        entry.videoReady = true;
    }
    DeactivateOthers(index);
    if (entry.videoReady) {
        ++context_.media.avi.aviReaderCount;
    }
    entry.isAviFile = true;
    return true;
}

} // namespace discforge
