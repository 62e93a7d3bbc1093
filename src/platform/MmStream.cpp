#include "platform/MmStream.h"

#include "platform/FfmpegError.h"
#include "platform/FileIdentity.h"
#include "platform/MediaComponentNames.h"
#include "platform/MediaMessages.h"
#include "platform/MediaOptions.h"
#include "platform/MmAudioPipe.h"
#include "platform/MmVideoPipe.h"
#include "platform/StreamTiming.h"

namespace discforge {

namespace {

constexpr AVRational hundredNs{1, 10000000};
constexpr auto nearest = static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX);
// Pixel shapes are kept to parts of this size, far more than any real one needs.
constexpr std::int64_t largestPixelShapePart = 65535;

// The stream's pixel shape upright; the container's wins over the codec's, as players do.
Ratio PixelShapeOf(const VideoCursor& cursor)
{
    const AVRational guessed
        = av_guess_sample_aspect_ratio(cursor.Source().Context(), const_cast<AVStream*>(cursor.Stream()), nullptr);
    if (guessed.num <= 0 || guessed.den <= 0) {
        return Ratio{};
    }
    int num = 1;
    int den = 1;
    av_reduce(&num, &den, guessed.num, guessed.den, largestPixelShapePart);
    if (num <= 0 || den <= 0) {
        return Ratio{};
    }
    // A quarter turn makes a wide pixel a tall one.
    return cursor.Turn().SwapsSides() ? Ratio{den, num} : Ratio{num, den};
}

struct ChainComponent {
    std::string name;
    ComponentIdentity identity;
};

std::vector<ChainComponent> ChainOf(const MediaSource& source, const AVCodec* decoder, MmPurpose purpose)
{
    const AVInputFormat* format = source.Context()->iformat;
    std::vector<ChainComponent> chain{
        {SourceComponentName(format), ComponentIdentity{ComponentRole::Source, format, nullptr}},
        {DecoderComponentName(decoder), ComponentIdentity{ComponentRole::Decoder, nullptr, decoder}}};
    if (purpose == MmPurpose::PrimaryVideo) {
        chain.push_back({pictureConverterName, ComponentIdentity{ComponentRole::PictureConverter, nullptr, nullptr}});
    }
    return chain;
}

} // namespace

class MmStream::Impl {
public:
    std::string path;
    FileIdentity file;
    MmPurpose purpose = MmPurpose::PrimaryVideo;
    std::vector<ChainComponent> chain;
    std::vector<MediaComponent> components;
    ComponentSettings wanted;
    MediaOptionUse use;
    bool canSeek = false;
    std::int64_t duration = 0;
    std::int64_t timePerFrame = 0;
    AVRational frameRate{25, 1};
    MmVideoFormat videoFormat;
    MmWaveFormat waveFormat;
    int soundTrack = defaultSoundTrack;
    std::vector<SoundTrack> soundTracks;
    int playedTrack = 0;
    std::unique_ptr<MmVideoPipe> video;
    std::unique_ptr<MmAudioPipe> audio;
    std::string callError;
};

MmStream::MmStream(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl))
{
}

MmStream::~MmStream() = default;

std::unique_ptr<MmStream> MmStream::Open(
    const std::string& path, MmPurpose purpose, MediaError& error, const ComponentSettings& settings, int soundTrack)
{
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->soundTrack = soundTrack;
    impl->file = FileIdentity::Of(path);
    impl->purpose = purpose;
    impl->wanted = settings;
    impl->use.wanted = &impl->wanted;
    if (purpose == MmPurpose::PrimaryVideo) {
        std::unique_ptr<VideoCursor> cursor = VideoCursor::Open(path, error, &impl->use);
        if (!cursor) {
            return nullptr;
        }
        impl->chain = ChainOf(cursor->Source(), cursor->Decoder(), purpose);
        const std::vector<std::string>& notes = cursor->Source().ScriptNotes();
        impl->use.notes.insert(impl->use.notes.end(), notes.begin(), notes.end());
        impl->canSeek = cursor->Source().CanSeek();
        impl->duration = StreamDuration100ns(cursor->Source().Context(), cursor->Stream());
        impl->frameRate = cursor->FrameRate();
        if (cursor->HasFrameTiming()) {
            // Rounded down, so that the duration divided by it is never a frame short.
            impl->timePerFrame = av_rescale_q_rnd(1, av_inv_q(impl->frameRate), hundredNs, AV_ROUND_DOWN);
        }
        impl->videoFormat = MmVideoFormat{cursor->Width(), cursor->Height(), PixelShapeOf(*cursor)};
        impl->soundTracks = SoundTracksOf(cursor->Source().Context());
        impl->playedTrack = PlayedSoundTrack(cursor->Source().Context(), soundTrack);
        impl->video = std::make_unique<MmVideoPipe>(std::move(cursor));
    } else {
        std::unique_ptr<AudioCursor> cursor = AudioCursor::Open(path, error, &impl->use, soundTrack);
        if (!cursor) {
            return nullptr;
        }
        impl->soundTracks = SoundTracksOf(cursor->Source().Context());
        impl->playedTrack = PlayedSoundTrack(cursor->Source().Context(), soundTrack);
        impl->chain = ChainOf(cursor->Source(), cursor->Decoder(), purpose);
        impl->canSeek = cursor->Source().CanSeek();
        impl->duration = StreamDuration100ns(cursor->Source().Context(), cursor->Stream());
        MmWaveFormat& wave = impl->waveFormat;
        wave.channels = static_cast<std::uint16_t>(cursor->Channels());
        wave.sampleRate = static_cast<std::uint32_t>(cursor->SampleRate());
        wave.bitsPerSample = static_cast<std::uint16_t>(cursor->BitsPerSample());
        wave.blockAlign = static_cast<std::uint16_t>(cursor->BlockAlign());
        wave.avgBytesPerSec = wave.sampleRate * wave.blockAlign;
        impl->audio = std::make_unique<MmAudioPipe>(std::move(cursor));
    }
    for (const ChainComponent& component : impl->chain) {
        impl->components.push_back(MediaComponent{component.name, HasOptions(component.identity)});
    }
    return std::unique_ptr<MmStream>(new MmStream(std::move(impl)));
}

std::unique_ptr<MmStream> MmStream::Reopen(std::unique_ptr<MmStream> previous, const std::string& path,
    MmPurpose purpose, MediaError& error, const ComponentSettings& settings, int soundTrack)
{
    if (previous) {
        Impl& impl = *previous->impl_;
        const bool failed = impl.video ? impl.video->Failed() : impl.audio->Failed();
        if (impl.path == path && impl.purpose == purpose && impl.wanted == settings && !failed
            && impl.soundTrack == soundTrack && impl.file == FileIdentity::Of(path)) {
            if (impl.video) {
                impl.video->Restart();
            } else {
                impl.audio->Restart();
            }
            impl.callError.clear();
            return previous;
        }
        previous.reset();
    }
    return Open(path, purpose, error, settings, soundTrack);
}

MmPurpose MmStream::Purpose() const { return impl_->purpose; }
const std::vector<MediaComponent>& MmStream::Components() const { return impl_->components; }
bool MmStream::CanSeek() const { return impl_->canSeek; }
const std::vector<std::string>& MmStream::OptionNotes() const { return impl_->use.notes; }

OptionsLookup MmStream::ComponentOptions(const std::string& component, std::vector<ComponentOption>& options) const
{
    for (const ChainComponent& member : impl_->chain) {
        if (member.name != component) {
            continue;
        }
        const auto applied = impl_->use.applied.find(component);
        options = OptionsOf(member.identity, applied != impl_->use.applied.end() ? applied->second : OptionValues{});
        return options.empty() ? OptionsLookup::NoOptions : OptionsLookup::Found;
    }
    return OptionsLookup::NoComponent;
}

std::string MmStream::CheckComponentOption(
    const std::string& component, const std::string& name, const std::string& value) const
{
    for (const ChainComponent& member : impl_->chain) {
        if (member.name == component) {
            return CheckOption(member.identity, name, value);
        }
    }
    return MediaText(media_messages::unknownComponent, component.c_str());
}
std::int64_t MmStream::Duration() const { return impl_->duration; }
std::int64_t MmStream::TimePerFrame() const { return impl_->timePerFrame; }
double MmStream::FrameRate() const { return impl_->timePerFrame != 0 ? av_q2d(impl_->frameRate) : 0.0; }
MmVideoFormat MmStream::VideoFormat() const { return impl_->videoFormat; }
MmWaveFormat MmStream::WaveFormat() const { return impl_->waveFormat; }
const std::vector<SoundTrack>& MmStream::SoundTracks() const { return impl_->soundTracks; }
int MmStream::PlayedTrack() const { return impl_->playedTrack; }

bool MmStream::CreateVideoSample(MediaError& error)
{
    if (!impl_->video) {
        error = PlainFailure(MediaFailure::WrongState, media_messages::wrongPurpose);
        return false;
    }
    return impl_->video->CreateSample(error);
}

bool MmStream::CreateAudioSample(std::uint8_t* buffer, std::size_t bytes, MediaError& error)
{
    if (!impl_->audio) {
        error = PlainFailure(MediaFailure::WrongState, media_messages::wrongPurpose);
        return false;
    }
    return impl_->audio->CreateSample(buffer, bytes, error);
}

void MmStream::ReleaseSample()
{
    if (impl_->video) {
        impl_->video->ReleaseSample();
    } else {
        impl_->audio->ReleaseSample();
    }
}

bool MmStream::Run(MediaError& error) { return impl_->video ? impl_->video->Start(error) : impl_->audio->Start(error); }

bool MmStream::Seek(std::int64_t time)
{
    if (time < 0) {
        return false;
    }
    if (impl_->video) {
        impl_->video->Seek(av_rescale_q_rnd(time, hundredNs, av_inv_q(impl_->frameRate), nearest));
    } else {
        auto rate = static_cast<int>(impl_->waveFormat.sampleRate);
        impl_->audio->Seek(av_rescale_q_rnd(time, hundredNs, AVRational{1, rate}, nearest));
    }
    return true;
}

MmAnswer MmStream::Update() { return impl_->video ? impl_->video->Update() : impl_->audio->Update(); }

MmAnswer MmStream::CompletionStatus(int waitMilliseconds)
{
    return impl_->video ? impl_->video->CompletionStatus(waitMilliseconds)
                        : impl_->audio->CompletionStatus(waitMilliseconds);
}

bool MmStream::AtEndOfStream() const { return impl_->video ? impl_->video->AtEnd() : impl_->audio->AtEnd(); }

bool MmStream::LockSurface(MmSurfaceLock& lock)
{
    if (!impl_->video) {
        impl_->callError = media_messages::wrongPurpose;
        return false;
    }
    return impl_->video->Lock(lock);
}

bool MmStream::LockBands(const PictureBands*& bands)
{
    if (!impl_->video) {
        impl_->callError = media_messages::wrongPurpose;
        return false;
    }
    return impl_->video->LockBands(bands);
}

void MmStream::UnlockSurface()
{
    if (impl_->video) {
        impl_->video->Unlock();
    }
}

MmStatistics MmStream::Statistics() const
{
    MmStatistics statistics;
    if (impl_->video) {
        impl_->video->AddStatistics(statistics);
    } else {
        impl_->audio->AddStatistics(statistics);
    }
    return statistics;
}

std::string MmStream::LastError() const
{
    std::string error = impl_->video ? impl_->video->LastError() : impl_->audio->LastError();
    return error.empty() ? impl_->callError : error;
}

} // namespace discforge
