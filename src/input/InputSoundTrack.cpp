// Choosing another sound track of an opened video input: its streams are opened
// again with that track and its sound figures made anew, while its selection and
// picture options stay as the user left them.
#include "input/InputTable.h"

#include "input/VideoStreamReader.h"

namespace discforge {

bool InputTable::ChooseSoundTrack(int index, int track)
{
    if (index < 0 || index >= state_.inputCount || index != state_.currentInput) {
        return false;
    }
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(index)];
    if (!entry.isVideoFile || track < 1 || track > static_cast<int>(entry.soundTracks.size())) {
        return false;
    }
    const PictureOptions options = entry.pictureOptions;
    const int selectionStart = entry.selectionStart;
    const int selectionEnd = entry.selectionEnd;
    const unsigned selectedFrames = entry.selectedFrames;
    const int position = entry.position;
    if (entry.hasAudio) {
        --state_.audioInputCount;
    }
    entry.soundTrack = track;
    ports_.streams.ReleaseStreams(index);
    const bool opened = ports_.streams.OpenStreams(index);
    entry.pictureOptions = options;
    entry.selectionStart = selectionStart;
    entry.selectionEnd = selectionEnd;
    entry.selectedFrames = selectedFrames;
    entry.position = position;
    if (opened && entry.hasAudio) {
        SetUpAudio(entry);
    }
    if (entry.hasAudio) {
        ++state_.audioInputCount;
    }
    return opened && entry.hasAudio;
}

} // namespace discforge
