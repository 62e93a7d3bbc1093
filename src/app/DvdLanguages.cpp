#include "app/DvdLanguages.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace discforge {
namespace {

// The bibliographic codes, which Qt's table (the terminological ones) lacks.
constexpr std::array<std::pair<const char*, const char*>, 20> bibliographic{{{"alb", "sq"}, {"arm", "hy"},
    {"baq", "eu"}, {"bur", "my"}, {"chi", "zh"}, {"cze", "cs"}, {"dut", "nl"}, {"fre", "fr"}, {"geo", "ka"},
    {"ger", "de"}, {"gre", "el"}, {"ice", "is"}, {"mac", "mk"}, {"mao", "mi"}, {"may", "ms"}, {"per", "fa"},
    {"rum", "ro"}, {"slo", "sk"}, {"tib", "bo"}, {"wel", "cy"}}};

} // namespace

std::string DvdLanguageCode(const std::string& language)
{
    if ((language.size() != 2 && language.size() != 3)
        || !std::all_of(language.begin(), language.end(), [](unsigned char c) { return std::isalpha(c) != 0; })) {
        return {};
    }
    std::string lower = language;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const auto& [code, letters] : bibliographic) {
        if (lower == code) {
            return letters;
        }
    }
    const QLocale::Language found = QLocale::codeToLanguage(QString::fromStdString(lower));
    if (found == QLocale::AnyLanguage || found == QLocale::C) {
        return {};
    }
    return QLocale::languageToCode(found, QLocale::ISO639Part1).toStdString();
}

void DeclareLanguages(const std::vector<std::vector<std::string>>& sound,
    const std::vector<std::vector<std::string>>& subtitles, std::vector<TitleTraits>& traits)
{
    for (std::size_t i = 0; i < traits.size(); ++i) {
        TitleTraits& title = traits[i];
        title.audioLanguages.clear();
        title.subpictureLanguages.clear();
        if (i < sound.size()) {
            for (const std::string& language : sound[i]) {
                title.audioLanguages.push_back(DvdLanguageCode(language));
            }
            if (title.audioLanguages.size() == 1 && title.audioLanguages.front().empty()) {
                title.audioLanguages.clear();
            }
        }
        if (i < subtitles.size()) {
            for (const std::string& language : subtitles[i]) {
                title.subpictureLanguages.push_back(DvdLanguageCode(language));
            }
        }
    }
}

} // namespace discforge
