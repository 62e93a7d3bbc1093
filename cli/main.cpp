// discforge-cli: converts video files and picture lists to disc MPEG streams
// without a window, on the same core as the window.
#include "CliConverter.h"
#include "CliOptions.h"
#include "core/AppIdentity.h"

extern "C" {
#include <libavutil/log.h>
}

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

volatile bool interrupted = false;

extern "C" void OnInterrupt(int) { interrupted = true; }

void PrintHelp()
{
    std::fputs(discforge::cli::UsageText(), stdout);
    std::fputs("\nConverts every INPUT (a video file or a .lst list of pictures) into its own MPEG program\n"
               "stream for a video disc. Without --output the stream is written beside the input, named\n"
               "like it with the extension .mpg.\n\n"
               "  --target vcd|svcd|dvd     disc format (default vcd)\n"
               "  --standard ntsc|pal       TV standard (default: PAL when the last input opened runs at\n"
               "                            25 frames per second, else NTSC; one standard for all inputs)\n"
               "  --fit proportional|fill|crop\n"
               "                            keep the proportions on black borders, stretch, or cut (default\n"
               "                            proportional)\n"
               "  --invert                  turn the picture upside down\n"
               "  --deinterlace             blend the fields of interlaced pictures\n"
               "  --crop X,Y,W,H            cut this rectangle out of every picture first\n"
               "  --split MB                start a new file every MB megabytes (1 to 4096)\n"
               "  --output FILE             the output file (one input only)\n"
               "  --project FILE.mdp        convert the inputs of a project file with their saved options;\n"
               "                            picture options given here override the project's\n"
               "  --save-project FILE.mdp   write the INPUTs and the options given into a project file\n"
               "                            instead of converting\n"
               "  --author DIR              after converting, make one disc of the streams in DIR: a DVD-Video\n"
               "                            folder (VIDEO_TS) or a VCD/SVCD image (videocd.bin and .cue),\n"
               "                            one title or track per input (needs dvdauthor or vcdimager)\n"
               "  --iso FILE.iso            with --author and a DVD: also an ISO image to burn\n"
               "                            (needs genisoimage)\n"
               "  --chapters MIN            a DVD chapter every MIN minutes (default 5)\n"
               "  --remove-streams          remove the converted streams once the disc is made\n"
               "  --menu, --no-menu         with --author and a DVD of more than one title: start the disc on a\n"
               "                            menu with a button per title and \"Play all\" (the default), or not\n"
               "  --title NAME              the menu's name of the next INPUT's title, in the order of the\n"
               "                            INPUTs (default: its file name without the extension)\n"
               "  --menu-background PICTURE draw the menu on this picture instead of the program's colours\n"
               "  --subtitles FILE[:LANG]   a subtitle file (.srt, .ass, .ssa) of the next INPUT, LANG its two\n"
               "                            or three letters; files named like the video and its own text\n"
               "                            subtitles are found without it. A VCD or SVCD shows the first\n"
               "                            subtitle drawn into the picture; a DVD (with --author) carries\n"
               "                            each as a subtitle stream\n"
               "  --burn-subtitles          on a DVD, draw each input's first subtitle into the picture\n"
               "                            instead of making it a subtitle stream\n"
               "  --dvd-audio-tracks N,N... put only these sound tracks (from 1) of every input on the DVD\n"
               "                            (default: all); the track the sound is taken from always goes\n"
               "  --shutdown-when-done      switch the computer off after the last input\n"
               "  --audio-track N           take the sound of track N (from 1, as the run log numbers the\n"
               "                            tracks) of every input, instead of the track the file marks as\n"
               "                            default (else its first); a track an input lacks is a usage error\n"
               "  --decoder-option COMPONENT:NAME=VALUE\n"
               "                            set an option of a component of the decoding chain for this\n"
               "                            run, as the window's decoder settings do (COMPONENT as the run\n"
               "                            log names it, e.g. \"MPEG-4 Part 2 Video decoder:lowres=1\");\n"
               "                            may be given again; a value the component refuses is a usage\n"
               "                            error\n"
               "  --help, --version\n\n"
               "Exit status: 0 all converted, 1 an input failed or was cancelled, 2 usage error,\n"
               "130 interrupted.\n",
        stdout);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace discforge::cli;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParseResult parsed = ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "discforge-cli: %s\n%s", parsed.error.c_str(), UsageText());
        return exitUsage;
    }
    if (parsed.options.help) {
        PrintHelp();
        return exitConverted;
    }
    if (parsed.options.version) {
        std::printf("discforge-cli (%s) %s\n", discforge::appTitle, discforge::appVersion);
        return exitConverted;
    }
    // FFmpeg's own remarks (its coders' warnings) would bury the "caption: text" messages
    // on standard error; only its errors are worth a user's attention.
    av_log_set_level(AV_LOG_ERROR);
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return RunConversion(parsed.options, interrupted);
}
