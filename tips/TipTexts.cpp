#include "TipTexts.h"

namespace discforge::tips {

const std::vector<QString>& TipTexts()
{
    static const std::vector<QString> texts = {
        QStringLiteral("Press Enter to convert every input in the list, from the top down. Each input "
                       "becomes an MPEG file of its own."),
        QStringLiteral("Select an input in the list to see its output file. Type another name, or press the "
                       "pencil button to choose one."),
        QStringLiteral("A list file (.lst) turns still pictures into a slide show: one picture file per "
                       "line, each shown for one second."),
        QStringLiteral("The output preview shows the picture exactly as it will be encoded. Switch between "
                       "Proportional and Fill in to compare."),
        QStringLiteral("A video that runs at 25 frames per second chooses PAL for you; any other rate "
                       "chooses NTSC. Change it to suit the players the disc is for."),
        QStringLiteral("Tick \u201cSplit every \u2026 MB\u201d to cut a long video into several files, each at "
                       "most that size."),
        QStringLiteral("Right-click the input list to add an input without replacing one, to change the "
                       "order, or to save your work as a project."),
        QStringLiteral("Drop video files and picture lists from your file manager onto the window to add "
                       "them as inputs."),
        QStringLiteral("Converting a long batch overnight? Tick \u201cShut down when done\u201d and the computer "
                       "switches off after the last input."),
        QStringLiteral("When an input does not open as expected, Check log (the page button at the top) shows "
                       "what the program found out about it."),
        QStringLiteral("discforge-cli converts with the same converter from a terminal or a script. Try "
                       "discforge-cli --help."),
    };
    return texts;
}

} // namespace discforge::tips
