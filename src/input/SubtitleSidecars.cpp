#include "input/SubtitleSidecars.h"

#include "input/SubtitleFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace discforge {
namespace {

namespace fs = std::filesystem;

// A folder with more entries than this is not searched further.
constexpr int entriesLooked = 10000;

bool IsLanguageCode(const std::string& text)
{
    return (text.size() == 2 || text.size() == 3)
        && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c) != 0; });
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

bool IsVobSubIndexPath(const std::string& path) { return Lower(fs::path(path).extension().string()) == ".idx"; }

std::vector<SubtitleSource> SidecarSubtitles(const std::string& videoPath)
{
    std::vector<SubtitleSource> found;
    const fs::path video(videoPath);
    const std::string stem = video.stem().string();
    fs::path folder = video.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    int looked = 0;
    for (; !error && entries != fs::directory_iterator() && looked < entriesLooked;
         entries.increment(error), ++looked) {
        const fs::path path = entries->path();
        if ((!IsSubtitlePath(path.string()) && !IsVobSubIndexPath(path.string())) || !entries->is_regular_file(error)) {
            continue;
        }
        const std::string subtitleStem = path.stem().string();
        if (subtitleStem == stem) {
            found.push_back({path.string(), "und"});
        } else if (subtitleStem.size() > stem.size() + 1 && subtitleStem.compare(0, stem.size(), stem) == 0
            && subtitleStem[stem.size()] == '.' && IsLanguageCode(subtitleStem.substr(stem.size() + 1))) {
            found.push_back({path.string(), Lower(subtitleStem.substr(stem.size() + 1))});
        }
    }
    std::sort(
        found.begin(), found.end(), [](const SubtitleSource& a, const SubtitleSource& b) { return a.path < b.path; });
    return found;
}

SubtitleSource ParseSubtitleChoice(const std::string& choice)
{
    const std::size_t colon = choice.rfind(':');
    if (colon != std::string::npos && IsLanguageCode(choice.substr(colon + 1))) {
        return {choice.substr(0, colon), Lower(choice.substr(colon + 1))};
    }
    return {choice, "und"};
}

} // namespace discforge
