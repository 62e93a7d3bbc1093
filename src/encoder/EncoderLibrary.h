// The MPEG encoder library, loaded at run time, its five entry points and its
// optional extension channel.
#pragma once

#include "encoder/EncodeParameters.h"
#include "platform/DynamicLibrary.h"

#include <optional>
#include <string>
#include <vector>

namespace discforge {

enum class EncoderEntryPoint { Init, MakeMpeg, Shutdown, SetFocus, AppWnd };

class EncoderLibrary {
public:
    // The library's file name; the loader finds it through the normal search,
    // which includes the program's own folder.
    static constexpr const char* defaultName = "libconvert.so";

    EncoderLibrary() = default;
    ~EncoderLibrary();
    EncoderLibrary(const EncoderLibrary&) = delete;
    EncoderLibrary& operator=(const EncoderLibrary&) = delete;

    bool Load(const std::string& name);
    const std::string& LoadError() const { return library_.LastError(); }
    // Resolves the entry points in their fixed order up to the first missing one,
    // which it returns; the ones before it stay usable.
    std::optional<EncoderEntryPoint> Resolve();
    // Shuts the encoder down when its shutdown was resolved, then frees the library.
    void Unload();

    bool IsReady() const { return appWnd_ != nullptr; }
    int Init(int formatCode) const;
    int MakeMpeg(const EncodeParameters& parameters) const;
    void SetFocus() const;
    void AppWnd(void* window) const;
    // Hands the extension to the next MakeMpeg; false when the library has no
    // extension channel or refuses this one.
    bool Extend(const EncodeExtension& extension) const;
    // Hands the sound tracks the library reads from files to the next MakeMpeg; false
    // when the library cannot take more than one sound stream or refuses these.
    bool SoundTracks(const std::vector<EncodeSoundTrack>& tracks, bool replaceSupply) const;
    // Shuts the encoder down and keeps the library: an encode on the stack stops
    // as cancelled and removes its partial file; Init makes it ready again.
    void Shutdown() const;

private:
    DynamicLibrary library_;
    SwMpegInitFn init_ = nullptr;
    SwMpegMakeMpegFn makeMpeg_ = nullptr;
    SwMpegShutdownFn shutdown_ = nullptr;
    SwMpegSetFocusFn setFocus_ = nullptr;
    SwMpegAppWndFn appWnd_ = nullptr;
    SwMpegExtendFn extend_ = nullptr; // libraries before the channel lack it
    SwMpegSoundTracksFn soundTracks_ = nullptr; // as do those of one sound stream
};

// What the user is told when an entry point is missing.
const char* MissingEntryPointMessage(EncoderEntryPoint entryPoint);

} // namespace discforge
