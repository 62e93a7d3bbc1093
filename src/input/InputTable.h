// Opening, activating, removing, reordering and describing the inputs of the
// table. Everything runs on the user-interface thread; failures are shown to
// the user here and returned as false.
#pragma once

#include "input/InputTableState.h"
#include "ports/ComponentOption.h"

#include <cstdint>
#include <string>

namespace discforge {

struct ConversionSettings;
class ControlSurface;
class InputHost;
class MessagePort;
class RunLog;
class TBaseDib;
class VideoStreamReader;

struct InputTablePorts {
    MessagePort& messages;
    ControlSurface& controls;
    InputHost& host;
    VideoStreamReader& streams;
    // The main window's full-size work picture; a list's first picture is
    // loaded into it when the list is opened.
    TBaseDib& workPicture;
    // The conversion run's stop request; every activation clears it.
    bool& stopRequest;
};

class InputTable {
public:
    InputTable(InputTableState& state, ConversionSettings& settings, RunLog& runLog, InputTablePorts ports);

    // Opens into entry inputCount. On success the entry is selected, current,
    // active and described; the caller lists it and counts it.
    // The sound comes from `soundTrack` (from 1; defaultSoundTrack: the file's choice).
    // `decoderChoices` are the input's own decoder settings, in force from this first open.
    bool OpenVideoInput(
        const std::string& path, int soundTrack = defaultSoundTrack, const ComponentSettings& decoderChoices = {});
    bool OpenListInput(const std::string& path);
    // The current input's sound from its track `track` (from 1) from now on; false
    // when it is not the current video input, has no such track, or the track gives no sound.
    bool ChooseSoundTrack(int index, int track);

    // Re-opens the streams of a video file or the list file of a list.
    bool ActivateInput(int index);
    // Releases the streams or closes the list file of a counted entry.
    void DeactivateInput(int index);
    // `refresh` false: the open command replaces the selected input and
    // redraws the window itself.
    void RemoveInput(int index, bool refresh = true);
    void MoveInputUp();
    void MoveInputDown();
    // Appends the information text of selectedInput to the run log. The
    // batch's television standard is the application's to decide.
    void DescribeInput();
    // Selected frames of the entries before `index`: where that entry starts on
    // the joined time line of all inputs.
    int FramesBefore(int index) const;

private:
    bool OpenListFile(int index, const char* context);
    void DeactivateEntry(int index);
    bool RefuseWhenFull(const char* context);
    void ResetEntry(int index);
    void MakeCurrent(int index);
    void SetOutputSize(InputEntry& entry);
    void SetUpAudio(InputEntry& entry);
    void SubstituteSilence();
    void MakeSilenceBuffer(std::int64_t size);
    void FinishOpen(int index);
    void MoveInput(int target);

    InputTableState& state_;
    ConversionSettings& settings_;
    RunLog& runLog_;
    InputTablePorts ports_;
};

} // namespace discforge
