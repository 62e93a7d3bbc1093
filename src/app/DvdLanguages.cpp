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

} // namespace discforge
