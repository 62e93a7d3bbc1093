// The options a user may set on the media layer's components, read from
// FFmpeg's own option tables: the demuxer's private options, the decoder's
// decoding options for its kind of stream (with its private ones), and the
// picture converter's scaling options. Values are checked against a scratch
// object of the component before they reach a real one, so a refused value
// never fails an open.
#pragma once

#include "ports/ComponentOption.h"

#include <optional>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct AVDictionary;

namespace discforge {

enum class ComponentRole { Source, Decoder, PictureConverter };

// Which FFmpeg object a component is.
struct ComponentIdentity {
    ComponentRole role = ComponentRole::PictureConverter;
    const AVInputFormat* format = nullptr; // a source's demuxer
    const AVCodec* codec = nullptr; // a decoder
};

bool HasOptions(const ComponentIdentity& component);
// Every option a user may set, with `chosen` values shown as the current ones.
std::vector<ComponentOption> OptionsOf(const ComponentIdentity& component, const OptionValues& chosen);
// Empty when the component takes `value` for option `name`; otherwise its reason.
std::string CheckOption(const ComponentIdentity& component, const std::string& name, const std::string& value);
// The component of that name among the demuxers, decoders and converters of this
// build of the libraries; nothing when there is none.
std::optional<ComponentIdentity> FindComponent(const std::string& name);
// CheckOption on the component of that name, wherever it is used.
std::string CheckNamedOption(const std::string& component, const std::string& name, const std::string& value);

// What an open is asked to apply, and what it did.
struct MediaOptionUse {
    const ComponentSettings* wanted = nullptr; // by component name; null for none
    ComponentSettings applied; // what each component of the open took
    std::vector<std::string> notes; // a line for each value skipped, for the run log

    // The values the component takes of those wanted for it; each refused one is
    // skipped with a note. Records them as applied.
    OptionValues Accept(const ComponentIdentity& component, const std::string& name);
    // A component that failed with its values opens with its defaults instead.
    void Abandon(const std::string& name, const std::string& reason);
};

// The values as an FFmpeg dictionary; the caller frees it.
AVDictionary* OptionDictionary(const OptionValues& values);

} // namespace discforge
