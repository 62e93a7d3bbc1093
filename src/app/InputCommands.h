// The open and output-name commands as the window and the command line both
// run them: the readers open the input, then the input is listed and counted
// and its output file is proposed.
#pragma once

#include "platform/SoundTracks.h"
#include "ports/ComponentOption.h"

#include <string>

namespace discforge {

class AppParts;
struct InputEntry;

// What the window shows of an input's sound: "Sound: 2 of 3 (deu, 5.1)".
std::string SoundTrackCaption(const InputEntry& entry);

class InputCommands {
public:
    explicit InputCommands(AppParts& core)
        : core_(core)
    {
    }

    // Opens `path` as the next input: a list of pictures when its name holds
    // ".lst" (in any case), a video file otherwise. On success the input is
    // listed, counted, current and selected, and has an output file; the
    // previews start at its first frame. A failure has been shown by the reader.
    // A video file's sound comes from `soundTrack` (from 1; defaultSoundTrack: the file's choice).
    // `decoderChoices` are the input's own decoder settings (a project keeps them).
    bool OpenInput(
        const std::string& path, int soundTrack = defaultSoundTrack, const ComponentSettings& decoderChoices = {});
    // Input `index` plays its sound track `track` (from 1) from now on; it becomes the current one.
    bool ChooseSoundTrack(int index, int track);
    // The window's open command once the user has chosen `path`: `path` opens as
    // a new input (at the end of the list), then the selected input goes; when
    // `path` does not open, the selected input stays.
    // Afterwards the size fields are applied to the current input.
    bool ReplaceSelectedInput(const std::string& path);
    // The user picked line `index` of the input list: it becomes the selected
    // input, and in batch mode the current one too. An input that cannot be
    // activated again is removed.
    void SelectInput(int index);
    // Makes `path` the output file: the selected input's in batch mode, the one
    // shared file otherwise; the output name field shows it.
    void ChooseOutputFile(const std::string& path);
    // Opens the selected video input again with the decoder settings dialog on
    // its chain, once; what is chosen there is that input's own from then on.
    // When the input does not open with its new choices, the earlier ones come
    // back. False without a selected video input or when it does not open.
    bool EditDecoderSettings();
    // Activates an input keeping the user's invert choice, which activation
    // otherwise derives anew from the decoder; the invert box shows it.
    bool ActivateKeepingInvert(int index);

private:
    void AddInputToList(const std::string& path);
    void ProposeOutputFile(const std::string& path);
    bool ActivateOrRemove(int index);

    AppParts& core_;
};

} // namespace discforge
