// What disc authoring tells the user.
#pragma once

namespace discforge::authoring_message {

inline constexpr const char* caption = "Disc authoring error";
inline constexpr const char* toolMissing = "Making the disc needs %s, which is not installed. Install the package %s.";
inline constexpr const char* toolFailed = "%s failed with exit status %d. Its last lines:\n%s";
inline constexpr const char* toolNotStarted = "%s could not be started: %s";
inline constexpr const char* tooLarge
    = "The streams take %s MB, %s MB more than a %s holds (%s MB). Nothing was written.";
inline constexpr const char* alreadyThere = "%s already exists. Choose another place for the disc.";
inline constexpr const char* cannotWrite = "Can not write to %s: %s";
inline constexpr const char* noStreams = "There are no converted streams to put on a disc.";
inline constexpr const char* cancelled = "Making the disc was cancelled; nothing was kept.";
inline constexpr const char* subtitlesLeftOut = "%s The disc is made without these subtitles.";
inline constexpr const char* subtitlesBeyondLimit
    = "The subtitles of %s are left out: a DVD title carries at most 32 subtitle streams.";
inline constexpr const char* noSubtitlePictures = "%s shows no subtitle picture.";
inline constexpr const char* pictureNotSaved = "the subtitle picture could not be saved";
inline constexpr const char* picturesDamaged = "%d damaged subtitle pictures of %s are left out.";
inline constexpr const char* picturesBeyondLimits
    = "%s holds more or larger subtitle pictures than a disc takes; the rest are left out.";
inline constexpr const char* cuesLeftOut = "%d subtitles of %s have impossible times and are left out.";
inline constexpr const char* logHeading = "Disc authoring:";
inline constexpr const char* madeInto = "The disc was written into %s.";
inline constexpr const char* progressCaption = "Making the disc";
inline constexpr const char* progressUpper = "Making the disc in %s";
inline constexpr const char* menuNoPainter
    = "The disc menu could not be drawn: the program runs with a Qt application that does not draw pictures.";
inline constexpr const char* menuNoBackground
    = "The menu background %s could not be read; the menu has the program's colours.";
inline constexpr const char* menuNotWritten = "The disc menu could not be written: %s";
inline constexpr const char* menuEmpty = "the menu picture is empty";
inline constexpr const char* menuNoEncoder = "FFmpeg has no MPEG-2 encoder";
inline constexpr const char* menuNoMemory = "out of memory";
inline constexpr const char* menuNoConverter = "no converter to YUV 4:2:0";
inline constexpr const char* menuNoPicture = "%s could not be saved";
inline constexpr const char* progressStatus = "%d streams; Cancel removes what was written.";

} // namespace discforge::authoring_message

// The texts of the disc's menu.
namespace discforge::menu_text {

inline constexpr const char* playAll = "Play all";
inline constexpr const char* previousPage = "Previous";
inline constexpr const char* nextPage = "Next";

} // namespace discforge::menu_text
