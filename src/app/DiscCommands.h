// The window's disc commands: a disc of the streams the inputs converted to,
// made on request or after a batch, with a progress window whose Cancel stops
// the tool (the authoring then removes its work), and the "make a disc after
// converting" switch with its folder.
#pragma once

#include "app/DiscAuthoring.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace discforge {

class AppParts;

// Asks the user for the disc's folder; none when the user declines.
using FolderQuestion = std::function<std::optional<std::string>()>;

class DiscCommands {
public:
    explicit DiscCommands(AppParts& core)
        : core_(core)
    {
    }

    // Every output the inputs convert to, in their order, whether written or not:
    // the parts of each as the encoder left them (see OutputParts).
    std::vector<StreamParts> ConvertedStreams() const;
    // The parts that exist now, without the inputs that have none.
    std::vector<StreamParts> WrittenStreams() const;
    // The languages of each input's sound streams, for the inputs of ConvertedStreams.
    std::vector<std::vector<std::string>> SoundLanguages() const;
    // Each input's subtitle streams, for the inputs of ConvertedStreams: those `given`
    // for it (by the command line), then those named for it, in it and beside it; without
    // those switched off and the one drawn into the picture.
    std::vector<std::vector<SubtitleSource>> Subtitles(const std::vector<std::vector<SubtitleSource>>& given) const;
    // A disc of the batch as the settings want it: its format, size and menu, and
    // the streams (only those written, with `writtenOnly`) with their titles' names.
    // Subtitle files `given` for the inputs (by the command line) come before the ones beside them.
    AuthoringRequest DiscRequest(bool writtenOnly, const std::vector<std::vector<SubtitleSource>>& given = {}) const;

    // Makes the disc of the written streams in `folder`; a failure has been
    // shown to the user. True when the disc was made.
    bool AuthorInto(const std::string& folder);
    bool Authoring() const { return authoring_; }
    // The running authoring stops at the tool's next poll.
    void CancelAuthoring() { cancelRequested_ = true; }

    // The switch as its check box now shows it: ticking it without a folder asks
    // for one, and without an answer the box is cleared again.
    void DiscCheckClicked(const FolderQuestion& askFolder);
    // A new folder when the user gives one; the switch stays as it is.
    void ChooseFolder(const FolderQuestion& askFolder);

private:
    // The parts of one stream that exist now.
    static StreamParts WrittenParts(const StreamParts& parts);
    AppParts& core_;
    bool authoring_ = false;
    bool cancelRequested_ = false;
};

} // namespace discforge
