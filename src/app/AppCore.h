// The converter as the window and the command line drive it: start-up, the
// commands on inputs and settings, the conversion run and the run log. Its
// pieces stay inside; callers see the state through read-only views.
//
// The window's commands refuse what would change the inputs, the settings or
// the selection while a conversion runs (the encoder reads them) and, as the
// window always did, while a preview plays; a refused command returns false
// and puts its controls back to the stored state.
#pragma once

#include "app/AppParts.h"
#include "app/BatchPlan.h"
#include "app/ConversionRun.h"
#include "app/DiscAuthoring.h"
#include "app/DiscCommands.h"
#include "app/Startup.h"

#include <functional>
#include <string>
#include <vector>

namespace discforge {

class ProfileStore;

class AppCore {
public:
    // Without hooks, a format or standard choice applies the size fields to the
    // current input as the window's own handlers do.
    explicit AppCore(AppPorts ports, SizeEditHooks hooks = {});

    // Loads the encoder library, applies the default settings, initialises the
    // encoder and writes the first lines of the run log. On failure the user has
    // been told why and the window asked to close.
    bool Start(const std::string& libraryName, EncoderCallbacks callbacks);
    // The window is going: every input closed from the last, the encoder shut
    // down and freed, the run log written.
    void Teardown();

    // --- Inputs.
    // The open command: see InputCommands.
    bool OpenInput(const std::string& path, int soundTrack = defaultSoundTrack);
    bool ChooseSoundTrack(int index, int track);
    // The decoder settings dialog for the selected video input, once (the input
    // list's menu); the choice is that input's own. Refused during a run or playback.
    bool EditDecoderSettings();
    // The window's open command once a file was chosen: it replaces the selected input.
    bool OpenMediaFile(const std::string& path);
    // A file added without replacing anything (the list's menu, a dropped file).
    bool AddInput(const std::string& path);
    // Files dropped on the window, added in turn; those beyond the table's room
    // are told in one message, not one each. Gives how many were added.
    int AddInputs(const std::vector<std::string>& paths);
    bool RemoveSelectedInput();
    bool MoveSelectedInputUp();
    bool MoveSelectedInputDown();
    // The user picked line `index` of the input list.
    bool SelectInput(int index);
    void ChooseOutputFile(const std::string& path);
    // Fitting, invert, deinterlace, crop and output size of input `index`.
    void SetPictureOptions(int index, const PictureOptions& options);

    // Project files: every input with its options, and the choices that go with them.
    bool SaveProject(const std::string& path);
    bool OpenProject(const std::string& path);

    // --- Settings as the command line sets them.
    // False when the encoder refused the format; the window is then asked to close.
    bool ChooseFormat(int format);
    bool ChooseStandard(int standard);
    // The frame size becomes the disc picture of the chosen format and standard.
    void TakeFormatPictureSize();
    // Parts of at most `megabytes` each; 0 writes one file.
    void SetSplitSize(int megabytes);
    void SetShutdownWhenDone(bool shutdown);
    // The disc the batch's rate is planned for; nothing: the disc's usual rate.
    bool ChooseDiscSize(std::optional<DiscSize> size);
    // Whether a DVD of several titles gets a menu, and the picture behind it (empty: the program's colours).
    bool ChooseDiscMenu(bool menu, const std::string& background);
    // The name of input `index`'s title on the menu; empty: its file name without the extension.
    bool NameTitle(int index, const std::string& name);
    // --- What of input `index` goes on the disc (see InputSubtitles); each false for no such input.
    // Subtitle files named for it, before those found in and beside it.
    bool AddSubtitles(int index, const std::vector<SubtitleSource>& sources);
    // Every subtitle of the input, also those switched off.
    std::vector<SubtitleSource> SubtitlesOf(int index) const;
    bool SetSubtitleOnDisc(int index, const SubtitleSource& source, bool onDisc);
    // A DVD's picture carries the input's first subtitle instead of a subtitle stream.
    bool SetBurnSubtitles(int index, bool burn);
    // Whether sound track `track` (from 1) goes on a DVD; the played track always does.
    bool SetSoundTrackOnDisc(int index, int track, bool onDisc);
    // The plan of the batch for the chosen disc size; nothing without one.
    std::optional<DiscPlan> PlanForDisc() const;
    // The shape of the frames of the next conversion (the window's shape choice, the cli's --aspect).
    bool ChooseShape(ShapeChoice shape);
    // Whether a file the user opens (open, add, replace, drop) asks for its decoder
    // settings once, right after it opened (kept in the user's profile). Project
    // loads, selections and runs never show the dialog.
    void SetEditFilters(bool editFilters);
    // The decoder settings common to every input come from `profile` and are
    // written back to it as they change; an input's own choices go over them.
    void KeepDecoderOptionsIn(ProfileStore& profile);
    // A decoder setting for this run alone, over the remembered ones. Empty when
    // the component takes the value; otherwise its reason, and nothing is set.
    std::string SetDecoderOption(const std::string& component, const std::string& name, const std::string& value);

    // --- The option controls of the window; each reads its control.
    bool FormatRadioClicked(int format);
    bool StandardRadioClicked(int standard);
    bool FittingClicked(int radioId);
    bool InvertClicked();
    bool SplitClicked();
    void ShutdownClicked();
    bool WidthFieldLeft();
    bool HeightFieldLeft();
    bool MaxSizeFieldLeft();
    bool OutputNameFieldLeft();
    // The disc-size choice and its MB field; see DiscSizeControls.
    bool DiscSizeChoiceMade();
    bool DiscSizeFieldLeft();
    // Brings every control up to date with the state.
    void RefreshWindow();

    // --- The run.
    // Start to Convert: every input in table order, one encode each. Refused
    // while a conversion runs or a preview plays.
    void StartConversion();
    // The window asks first: true when no output exists yet or the user agreed,
    // in one question listing them all, to replace those that do.
    bool ConfirmReplacingOutputs();
    // The window's word after a run: when every input converted, the outputs
    // with their sizes (nothing when the computer is being switched off).
    void ReportFinishedBatch();
    bool IsConverting() const { return parts_.media.run.conversionActive; }
    // The running encode stops at its next picture or sound block and removes
    // its partial file; the inputs after it are not converted.
    void CancelConversion();
    bool LastEncodeCompleted() const { return run_.LastEncodeCompleted(); }
    int InputsEncoded() const { return run_.InputsEncoded(); }

    // --- Keys, closing and focus.
    // Enter: stops a playing preview; otherwise true, and the conversion starts.
    bool EnterKey();
    // Exit: stops a playing preview; otherwise true, and the window is asked to close.
    bool ExitCommand();
    // Whether the window may close now. A playing preview is asked to stop. A
    // running conversion is cancelled when the user agrees, and the window is
    // asked to close again once the run has ended.
    bool QueryClose();
    // The window gained the focus: true when the running encoder took it.
    bool ForwardFocusToEncoder();

    // --- Previews.
    // Binds the two preview panels to their rectangles; see Previews.
    bool CreatePreviewPictures(PanelPainter* inputPainter, const PanelRect& inputRect, PanelPainter* outputPainter,
        const PanelRect& outputRect);
    void RenderInputPreview() { parts_.previews.RenderInputPreview(); }
    void RenderOutputPreview() { parts_.previews.RenderOutputPreview(); }
    // Both panels on the screen again (after a paint).
    void ShowPreviews();
    // The play/stop buttons; a press while a preview plays stops it.
    void PlayInput() { parts_.previews.PlayInput(); }
    void PlayOutput() { parts_.previews.PlayOutput(); }
    // A position bar was let go at `position`: its preview shows that frame.
    void InputPositionChosen(int position);
    void OutputPositionChosen(int position);
    const Previews& PreviewPictures() const { return parts_.previews; }
    void BeginPlayback(PlayingSide side);
    void EndPlayback();
    void RequestPlaybackStop();
    void RequestStreamStop();
    const PreviewState& Preview() const { return parts_.preview; }

    // --- A disc of the converted streams, in the inputs' order; the request's
    // format, standard and streams come from the settings and the inputs.
    AuthoringOutcome AuthorDisc(AuthoringRequest request, const std::function<bool()>& cancelled);
    std::vector<StreamParts> ConvertedStreams() const { return disc_.ConvertedStreams(); }

    // --- The window's disc: see DiscCommands.
    // Whether "Author disc..." has something to do now: idle, and a stream written.
    bool CanAuthorDisc() const;
    // The disc of the streams written so far, into `folder`; refused while busy.
    bool AuthorDiscInto(const std::string& folder);
    bool IsAuthoring() const { return disc_.Authoring(); }
    void CancelAuthoring() { disc_.CancelAuthoring(); }
    // The "make a disc after converting" check box and the disc folder button.
    void DiscCheckClicked(const FolderQuestion& askFolder);
    void ChooseDiscFolder(const FolderQuestion& askFolder);
    // The switch and folder the profile keeps; the switch needs a folder.
    void SetDiscAfterConverting(bool after, const std::string& folder);

    // Writes the run log into the user's state folder, as the program does when it ends.
    bool WriteRunLog() const;
    // The Check Log command: marks the log, writes it and shows it.
    void CheckLog();

    const InputTableState& Inputs() const { return parts_.inputs; }
    const ConversionSettings& Settings() const { return parts_.settings; }
    const RunLog& Log() const { return parts_.runLog; }

private:
    // Inputs, settings and selection stay as they are.
    bool Locked() const { return IsConverting() || IsAuthoring() || parts_.preview.previewPlaying(); }
    // A refused click leaves the controls showing what is stored.
    bool Refuse();
    // After the user's own open: the dialog once for the new input when editFilters is on. Gives `opened`.
    bool AskForDecoderSettingsIfWanted(bool opened);
    SizeEditHooks OwnHooks();

    AppParts parts_;
    ConversionRun run_;
    DiscCommands disc_;
    bool closeAfterRun_ = false;
};

} // namespace discforge
