// The library's five entry points, its extension channel and its sound tracks, with C linkage.
// Everything else stays hidden.
//
// The program calls them on its GUI thread. While swMPEGMakeMPEG runs, the callbacks let
// the program handle its window, so swMPEGInit, swMPEGSetFocus, swMPEGAppWnd and even
// swMPEGShutdown can arrive in the middle of an encode: the running encode keeps its own
// copy of the format and is cancelled by a shutdown.
#include "EncodeExtension.h"
#include "EncodeSession.h"
#include "EncoderMessages.h"
#include "FrontEnd.h"
#include "encoder/EncodeParameters.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <optional>

namespace discforge::convert {
namespace {

struct LibraryState {
    std::optional<DiscProfile> profile;
    // For the next encode only.
    std::optional<EncodeExtension> extension;
    TrackPlan tracks;
    FrontEnd frontEnd;
    bool encoding = false;
    std::atomic<bool> stopEncode{false};
};

LibraryState& State()
{
    static LibraryState state;
    return state;
}

bool KnownExtensionSize(uint32_t size)
{
    return size == ENCODE_EXTENSION_V1_SIZE || size == ENCODE_EXTENSION_V2_SIZE || size >= sizeof(EncodeExtension);
}

int32_t Extend(const EncodeExtension* extension)
{
    LibraryState& state = State();
    // A version 1 record ends before the fields, a version 2 record before the frame's
    // width; a record of a size between the versions' is none of them.
    if (extension == nullptr || extension->version < 1 || !KnownExtensionSize(extension->size)) {
        return 1;
    }
    EncodeExtension known{};
    std::memcpy(&known, extension, std::min<std::size_t>(extension->size, sizeof(EncodeExtension)));
    if (state.encoding || !state.profile || !ExtensionFits(*state.profile, known)) {
        return 1;
    }
    known.size = sizeof(EncodeExtension);
    known.version = ENCODE_EXTENSION_VERSION;
    state.extension = known;
    return 0;
}

int32_t SoundTracks(const EncodeSoundTrack* tracks, int32_t count, int32_t replaceSupply)
{
    LibraryState& state = State();
    if (state.encoding || !state.profile || state.profile->kind != DiscKind::Dvd || count < 0
        || (count > 0 && tracks == nullptr)) {
        return 1;
    }
    const int32_t streams = count + (replaceSupply != 0 && count > 0 ? 0 : 1);
    if (streams > ENCODE_SOUND_TRACK_LIMIT) {
        return 1;
    }
    TrackPlan plan;
    plan.replaceSupply = replaceSupply != 0;
    for (int32_t i = 0; i < count; ++i) {
        const EncodeSoundTrack& track = tracks[i];
        if (track.size < sizeof(EncodeSoundTrack) || track.path == nullptr || track.path[0] == '\0'
            || track.streamIndex < 0) {
            return 1;
        }
        plan.tracks.push_back({track.path, track.streamIndex, track.startPts, track.copy != 0});
    }
    state.tracks = std::move(plan);
    return 0;
}

int32_t MakeMpeg(const EncodeParameters* parameters)
{
    LibraryState& state = State();
    const std::string outputName =
        parameters != nullptr && parameters->outputName != nullptr ? parameters->outputName : "";
    EncodeStatus status;
    if (state.encoding) {
        status = EncodeStatus::Fail(ENCODE_BUSY, message::busy);
    } else if (!state.profile) {
        status = EncodeStatus::Fail(ENCODE_NOT_INITIALISED, message::notInitialised);
    } else if (parameters == nullptr) {
        status = EncodeStatus::Fail(ENCODE_BAD_PARAMETERS, message::Substitute(message::badParameters, {"none"}));
    } else {
        status = CheckParameters(*parameters);
    }
    if (status.Ok()) {
        state.encoding = true;
        state.stopEncode = false;
        const DiscProfile profile = ApplyExtension(*state.profile, state.extension);
        try {
            std::unique_ptr<ProgressView> progress = state.frontEnd.OpenProgress(outputName);
            EncodeSession session(profile, *parameters, *progress, state.stopEncode, state.tracks);
            status = session.Run();
        } catch (const std::bad_alloc&) {
            status = EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        } catch (...) {
            status = EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::internalError);
        }
        state.encoding = false;
    }
    state.extension.reset();
    state.tracks = {};
    if (!status.Ok() && status.code != ENCODE_CANCELLED) {
        state.frontEnd.TellFailure(outputName, status.cause);
    }
    return status.code;
}

} // namespace
} // namespace discforge::convert

using discforge::convert::State;

#define DISCFORGE_EXPORT extern "C" __attribute__((visibility("default")))

DISCFORGE_EXPORT int32_t swMPEGInit(int32_t formatCode)
{
    std::optional<discforge::convert::DiscProfile> profile = discforge::convert::ProfileForFormatCode(formatCode);
    if (!profile) {
        return 1;
    }
    State().profile = *profile;
    // A rate planned for the format before is no plan for this one.
    State().extension.reset();
    State().tracks = {};
    return 0;
}

DISCFORGE_EXPORT int32_t swMPEGMakeMPEG(const EncodeParameters* parameters)
{
    try {
        return discforge::convert::MakeMpeg(parameters);
    } catch (...) {
        return ENCODE_CODEC_FAILED;
    }
}

DISCFORGE_EXPORT void swMPEGShutdown(void)
{
    // An encode still on the stack stops at its next look and cleans up after itself.
    State().stopEncode = true;
    State().profile.reset();
    State().frontEnd.SetOwnerWindow(nullptr);
}

DISCFORGE_EXPORT void swMPEGSetFocus(void) { State().frontEnd.RaiseProgress(); }

DISCFORGE_EXPORT void swMPEGAppWnd(void* window) { State().frontEnd.SetOwnerWindow(window); }

DISCFORGE_EXPORT int32_t swMPEGSoundTracks(const EncodeSoundTrack* tracks, int32_t count, int32_t replaceSupply)
{
    try {
        return discforge::convert::SoundTracks(tracks, count, replaceSupply);
    } catch (...) {
        return 1;
    }
}

DISCFORGE_EXPORT int32_t swMPEGExtend(const EncodeExtension* extension)
{
    try {
        return discforge::convert::Extend(extension);
    } catch (...) {
        return 1;
    }
}
