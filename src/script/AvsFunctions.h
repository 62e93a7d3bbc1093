// The functions a script may call: their parameters and what each makes of
// its arguments. Shared by the evaluator (binding) and the function files.
#pragma once

#include "script/AvsError.h"
#include "script/AvsGraph.h"
#include "script/AvsProbe.h"
#include "script/AvsSyntax.h"
#include "script/AvsValue.h"

#include <string>
#include <vector>

namespace discforge {

class AvsCall {
public:
    AvsCall(const std::string& name, const AvsNode& at, AvsGraph& graph, AvsMediaProbe& probe,
        const std::string& folder, AvsError& error)
        : name_(name)
        , at_(at)
        , graph_(graph)
        , probe_(probe)
        , folder_(folder)
        , error_(error)
    {
    }

    std::vector<AvsValue> arguments; // by parameter; monostate when not given
    std::vector<AvsValue> extra; // what a repeating parameter took beyond the first

    bool Given(std::size_t i) const { return !std::holds_alternative<std::monostate>(arguments[i]); }
    std::int64_t Int(std::size_t i, std::int64_t fallback) const;
    double Number(std::size_t i, double fallback) const;
    std::string String(std::size_t i, const std::string& fallback) const;
    bool Bool(std::size_t i, bool fallback) const;
    const AvsClip& Clip(std::size_t i) const { return std::get<AvsClip>(arguments[i]); }

    // Sets the error ("<function>: <message>") at the call; returns false.
    bool Fail(const std::string& message) const;
    AvsGraph& Graph() const { return graph_; }
    AvsMediaProbe& Probe() const { return probe_; }
    const std::string& Folder() const { return folder_; }
    const std::string& Name() const { return name_; }

private:
    const std::string& name_;
    const AvsNode& at_;
    AvsGraph& graph_;
    AvsMediaProbe& probe_;
    const std::string& folder_;
    AvsError& error_;
};

using AvsHandler = bool (*)(AvsCall& call, AvsValue& result);

struct AvsFunction {
    const char* name;
    const char* parameters; // e.g. "c first_frame:i last_frame:i [pad_audio:b]"
    AvsHandler handler;
};

// The functions of each group, ending with a null name.
const AvsFunction* AvsSourceFunctions();
const AvsFunction* AvsEditFunctions();
const AvsFunction* AvsPictureFunctions();
const AvsFunction* AvsSoundFunctions();
const AvsFunction* AvsLanguageFunctions();
const AvsFunction* AvsStringFunctions();
const AvsFunction* AvsClipProperties();
const AvsFunction* AvsResizeFunctions();
const AvsFunction* AvsFrameFunctions();
const AvsFunction* AvsColourFunctions();
const AvsFunction* AvsSoftenFunctions();
const AvsFunction* AvsLayoutFunctions();
const AvsFunction* AvsChannelFunctions();
const AvsFunction* AvsPluginFunctions();
const AvsFunction* AvsPluginSources();

// Joins two clips end to end; `aligned` (the "++" join) first fits each
// clip's sound to its picture's length.
bool AvsJoin(AvsCall& call, const AvsClip& first, const AvsClip& second, bool aligned, AvsClip& result);

// Reads a frame rate given as an integer pair or one number (29.97 is taken
// as 30000/1001 as the broadcast rates are meant).
bool AvsFrameRate(
    AvsCall& call, std::size_t numberIndex, std::size_t denominatorIndex, int& numerator, int& denominator);

std::string AvsChannelLayout(int channels);

// A path of the script as a path here: backslashes become slashes and a
// relative path gets the script's folder in front, so `local` ends with the
// given text, as long as it. Windows drive and network paths are refused.
bool AvsLocalPath(AvsCall& call, const std::string& given, std::string& local);
// The same, for a file that must exist.
bool AvsResolvePath(AvsCall& call, const std::string& given, std::string& resolved);
bool AvsProbeFile(AvsCall& call, const std::string& path, const AvsTrackChoice& tracks, const std::string& given,
    AvsMediaFacts& facts);

// The picture (and sound, when asked and there) of the media file at
// `path`, already resolved; `given` names it in messages.
bool AvsFileClip(AvsCall& call, const std::string& path, const std::string& given, bool video, bool audio,
    AvsClip& clip, const AvsTrackChoice& tracks = {});

// A file source of the indexing kind: the picture of `videoTrack` (-1 the
// first) with the sound of `audioTrack` (-2 none), fpsnum and fpsden at
// `rateIndex` and the next argument converting to a constant rate.
bool AvsIndexedSource(
    AvsCall& call, std::int64_t videoTrack, std::int64_t audioTrack, std::size_t rateIndex, AvsValue& result);
// The sound alone of track `track` of the file named by argument 0.
bool AvsIndexedSound(AvsCall& call, std::int64_t track, AvsValue& result);

// The length of frames after a rate change by numerator / denominator,
// held exactly (a frame repeated or dropped at the end).
std::string AvsExactLength(std::int64_t frames);

// A length in frames that a clip may have.
bool AvsCheckedLength(AvsCall& call, std::int64_t frames);

// Overlay: a clip laid over another.
bool AvsOverlay(AvsCall& call, AvsValue& result);

// Dissolve: the second clip fades in over the end of the first.
bool AvsDissolve(AvsCall& call, AvsValue& result);

// ImageSource: one still picture held, or a numbered sequence of pictures.
bool AvsImageSource(AvsCall& call, AvsValue& result);

} // namespace discforge
