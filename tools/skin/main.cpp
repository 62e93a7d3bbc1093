// discforge-skingen: draws the default skin of the window from its one layout
// description, at any whole-number scale, without a display.
#include <QApplication>
#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "SkinLayout.h"
#include "SkinPreview.h"
#include "SkinStyle.h"
#include "SkinWriter.h"

namespace {

constexpr const char* helpText
    = "Usage: discforge-skingen --out FOLDER [--scale N] [--icon FILE.png [--icon-size N]]\n"
      "                        [--preview FILE.png [--face K]]\n"
      "\n"
      "Writes the skin folder of the window: position.txt, interface.jpg, the two preview\n"
      "placeholders and one picture of four button faces (normal, pressed, hot, disabled) per\n"
      "image button.\n"
      "\n"
      "  --scale N         draw everything N times as large, 1 to 4 (default 1)\n"
      "  --icon FILE.png   also write the program's icon, 256 x 256 pixels\n"
      "  --icon-size N     draw the icon N x N pixels instead, 16 to 512\n"
      "  --preview FILE.png\n"
      "                    also write a picture of the whole window with stand-ins of its\n"
      "                    widgets and every image button showing face K (default 0), to\n"
      "                    judge the look\n";

struct Options {
    std::string folder;
    std::string icon;
    std::string preview;
    int scale = 1;
    int face = 0;
    int iconSize = 256;
};

bool ParseNumber(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < low || number > high) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (i + 1 >= argc) {
            return false;
        }
        const char* value = argv[++i];
        if (argument == "--out") {
            options.folder = value;
        } else if (argument == "--icon") {
            options.icon = value;
        } else if (argument == "--preview") {
            options.preview = value;
        } else if (argument == "--scale") {
            if (!ParseNumber(value, 1, 4, options.scale)) {
                return false;
            }
        } else if (argument == "--icon-size") {
            if (!ParseNumber(value, 16, 512, options.iconSize)) {
                return false;
            }
        } else if (argument == "--face") {
            if (!ParseNumber(value, 0, 3, options.face)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return !options.folder.empty();
}

int Fail(const std::string& problem)
{
    std::fprintf(stderr, "discforge-skingen: %s\n", problem.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fputs(helpText, stderr);
        return 2;
    }
    // The skin is drawn into pictures only; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!options.preview.empty()) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(options.scale));
    }
    QApplication application(argc, argv);
    if (!discforge::skin::LoadSkinFonts()) {
        return Fail("DejaVu Sans is missing (Debian package fonts-dejavu-core)");
    }
    using namespace discforge::skin;
    const SkinLayout layout = DefaultLayout();
    std::string error;
    if (!WriteSkin(layout, options.folder, options.scale, error)) {
        return Fail(error);
    }
    if (!options.icon.empty() && !WriteAppIcon(options.icon, options.iconSize, error)) {
        return Fail(error);
    }
    if (!options.preview.empty()
        && !WritePreview(layout, options.folder, options.scale, options.face, options.preview, error)) {
        return Fail(error);
    }
    return 0;
}
