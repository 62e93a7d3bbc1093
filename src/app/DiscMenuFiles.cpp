#include "app/DiscMenuFiles.h"

#include "app/AuthoringMessages.h"
#include "app/MenuPicture.h"
#include "app/MenuThumbnail.h"
#include "app/SpumuxProject.h"
#include "app/StillVideo.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/TextFormat.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace discforge {
namespace {

namespace fs = std::filesystem;

constexpr int menuWidth = 720;
constexpr int palHeight = 576;
constexpr int ntscHeight = 480;

bool SavePicture(const QImage& picture, const fs::path& path, AuthoringOutcome& outcome)
{
    if (!picture.save(QString::fromStdString(path.string()), "PNG")) {
        outcome.message = FormatText(
            authoring_message::menuNotWritten, FormatText(authoring_message::menuNoPicture, path.c_str()).c_str());
        return false;
    }
    return true;
}

bool WriteText(const std::string& text, const fs::path& path, AuthoringOutcome& outcome)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) {
        outcome.message = FormatText(authoring_message::cannotWrite, path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Lays one subpicture stream of the page's buttons into `input`, giving `output`.
bool AddButtons(const MenuPage& page, const MenuFrame& frame, bool letterbox, int stream, const fs::path& input,
    const fs::path& output, const fs::path& folder, ToolRunner& tools, AuthoringOutcome& outcome)
{
    const std::string stem = output.stem().string();
    const fs::path highlight = folder / (stem + "-highlight.png");
    const fs::path select = folder / (stem + "-select.png");
    const fs::path project = folder / (stem + ".xml");
    if (!SavePicture(PaintButtonMarks(page, frame, menu_colour::highlight, letterbox), highlight, outcome)
        || !SavePicture(PaintButtonMarks(page, frame, menu_colour::select, letterbox), select, outcome)
        || !WriteText(SpumuxProject(page, frame, letterbox, highlight.string(), select.string()), project, outcome)) {
        return false;
    }
    return tools.RunBetweenFiles(spumuxTool, {"-m", "dvd", "-s", std::to_string(stream), project.string()},
        input.string(), output.string(), folder.string(), outcome);
}

} // namespace

bool WantsMenu(const AuthoringRequest& request)
{
    return request.menu && request.outputFormat == formatDvd && request.streams.size() > 1;
}

std::string TitleName(const AuthoringRequest& request, std::size_t index)
{
    if (index < request.titleNames.size() && !request.titleNames[index].empty()) {
        return request.titleNames[index];
    }
    if (index < request.streams.size() && !request.streams[index].empty()) {
        return fs::path(request.streams[index].front()).stem().string();
    }
    return {};
}

bool MakeDiscMenu(const AuthoringRequest& request, const std::vector<TitleTraits>& traits, const std::string& folder,
    ToolRunner& tools, RunLog& runLog, DiscMenu& menu, AuthoringOutcome& outcome)
{
    const MenuPainting painting;
    if (!painting.Ready()) {
        outcome.message = authoring_message::menuNoPainter;
        return false;
    }
    MenuFrame frame;
    frame.width = menuWidth;
    frame.height = request.tvStandard == standardPal ? palHeight : ntscHeight;
    frame.wide = !traits.empty() && traits.front().wide; // the first title's shape leads
    menu.wide = frame.wide;
    menu.pages = LayOutMenu(static_cast<int>(request.streams.size()), frame);
    std::vector<MenuTitle> titles;
    for (std::size_t i = 0; i < request.streams.size(); ++i) {
        const bool wide = i < traits.size() && traits[i].wide;
        titles.push_back({TitleName(request, i), TitleThumbnail(request.streams[i], wide)});
    }
    QImage background;
    if (!request.menuBackground.empty()) {
        background.load(QString::fromStdString(request.menuBackground));
        if (background.isNull()) {
            runLog.AppendLogLine(FormatText(authoring_message::menuNoBackground, request.menuBackground.c_str()));
        }
    }
    const StillShape shape{request.tvStandard == standardPal, frame.wide};
    const fs::path work = folder;
    for (std::size_t p = 0; p < menu.pages.size(); ++p) {
        const std::string stem = "menu-" + std::to_string(p + 1);
        const fs::path still = work / (stem + "-still.mpg");
        std::string error;
        if (!WriteStillVideo(
                PaintMenuPage(painting, menu.pages[p], frame, titles, background), shape, still.string(), error)) {
            outcome.message = FormatText(authoring_message::menuNotWritten, error.c_str());
            return false;
        }
        const fs::path buttons = work / (stem + (frame.wide ? "-widescreen.mpg" : ".mpg"));
        if (!AddButtons(menu.pages[p], frame, false, 0, still, buttons, work, tools, outcome)) {
            return false;
        }
        fs::path made = buttons;
        if (frame.wide) {
            made = work / (stem + ".mpg");
            if (!AddButtons(menu.pages[p], frame, true, 1, buttons, made, work, tools, outcome)) {
                return false;
            }
        }
        menu.pageFiles.push_back(made.string());
    }
    return true;
}

} // namespace discforge
