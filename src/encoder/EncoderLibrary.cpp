#include "encoder/EncoderLibrary.h"

namespace discforge {
namespace {

template <typename Function> bool ResolveInto(const DynamicLibrary& library, const char* name, Function& target)
{
    target = reinterpret_cast<Function>(library.Symbol(name));
    return target != nullptr;
}

// An entry point that is not there answers like a refusing library.
constexpr int notResolved = -1;

} // namespace

EncoderLibrary::~EncoderLibrary() { Unload(); }

bool EncoderLibrary::Load(const std::string& name) { return library_.Open(name); }

std::optional<EncoderEntryPoint> EncoderLibrary::Resolve()
{
    if (!ResolveInto(library_, "swMPEGInit", init_)) {
        return EncoderEntryPoint::Init;
    }
    if (!ResolveInto(library_, "swMPEGMakeMPEG", makeMpeg_)) {
        return EncoderEntryPoint::MakeMpeg;
    }
    if (!ResolveInto(library_, "swMPEGShutdown", shutdown_)) {
        return EncoderEntryPoint::Shutdown;
    }
    if (!ResolveInto(library_, "swMPEGSetFocus", setFocus_)) {
        return EncoderEntryPoint::SetFocus;
    }
    if (!ResolveInto(library_, "swMPEGAppWnd", appWnd_)) {
        return EncoderEntryPoint::AppWnd;
    }
    ResolveInto(library_, "swMPEGExtend", extend_);
    ResolveInto(library_, "swMPEGSoundTracks", soundTracks_);
    return std::nullopt;
}

void EncoderLibrary::Unload()
{
    if (shutdown_ != nullptr) {
        shutdown_();
    }
    init_ = nullptr;
    makeMpeg_ = nullptr;
    shutdown_ = nullptr;
    setFocus_ = nullptr;
    appWnd_ = nullptr;
    extend_ = nullptr;
    soundTracks_ = nullptr;
    library_.Close();
}

int EncoderLibrary::Init(int formatCode) const { return init_ != nullptr ? init_(formatCode) : notResolved; }

int EncoderLibrary::MakeMpeg(const EncodeParameters& parameters) const
{
    return makeMpeg_ != nullptr ? makeMpeg_(&parameters) : notResolved;
}

void EncoderLibrary::SetFocus() const
{
    if (setFocus_ != nullptr) {
        setFocus_();
    }
}

void EncoderLibrary::Shutdown() const
{
    if (shutdown_ != nullptr) {
        shutdown_();
    }
}

void EncoderLibrary::AppWnd(void* window) const
{
    if (appWnd_ != nullptr) {
        appWnd_(window);
    }
}

bool EncoderLibrary::SoundTracks(const std::vector<EncodeSoundTrack>& tracks, bool replaceSupply) const
{
    return soundTracks_ != nullptr
        && soundTracks_(tracks.data(), static_cast<int32_t>(tracks.size()), replaceSupply ? 1 : 0) == 0;
}

bool EncoderLibrary::Extend(const EncodeExtension& extension) const
{
    return extend_ != nullptr && extend_(&extension) == 0;
}

const char* MissingEntryPointMessage(EncoderEntryPoint entryPoint)
{
    switch (entryPoint) {
    case EncoderEntryPoint::Init:
        return "Can't get init function address from convert.dll.";
    case EncoderEntryPoint::MakeMpeg:
        return "Can not initialize convert.dll, error 1.";
    case EncoderEntryPoint::Shutdown:
        return "Can not initialize convert.dll, error 2.";
    case EncoderEntryPoint::SetFocus:
        return "Can not initialize convert.dll, error 3.";
    case EncoderEntryPoint::AppWnd:
        return "Can not initialize convert.dll, error 4.";
    }
    return "";
}

} // namespace discforge
