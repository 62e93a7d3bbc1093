#include "app/DecoderOptionProfile.h"

#include "platform/ProfileStore.h"

namespace discforge {

namespace {

constexpr const char* optionsSection = "DecoderOptions";

// Component names hold '/' ("QuickTime / MOV source"), which would nest sections.
std::string SectionName(const std::string& component)
{
    std::string name;
    for (const char c : component) {
        if (c == '%') {
            name += "%25";
        } else if (c == '/') {
            name += "%2F";
        } else if (c == '\\') {
            name += "%5C";
        } else {
            name += c;
        }
    }
    return name;
}

std::string ComponentName(const std::string& section)
{
    std::string name;
    for (std::size_t i = 0; i < section.size(); ++i) {
        const std::string code = section.substr(i, 3);
        if (code == "%25" || code == "%2F" || code == "%5C") {
            name += code == "%25" ? '%' : code == "%2F" ? '/' : '\\';
            i += 2;
        } else {
            name += section[i];
        }
    }
    return name;
}

std::string SectionPath(const std::string& inner) { return std::string(optionsSection) + '/' + inner; }

} // namespace

ComponentSettings ReadDecoderOptions(const ProfileStore& profile)
{
    ComponentSettings settings;
    for (const std::string& inner : profile.InnerSections(optionsSection)) {
        OptionValues values = profile.ReadSection(SectionPath(inner));
        if (!values.empty()) {
            settings[ComponentName(inner)] = std::move(values);
        }
    }
    return settings;
}

void WriteDecoderOptions(ProfileStore& profile, const std::string& component, const OptionValues& values)
{
    const std::string section = SectionPath(SectionName(component));
    profile.RemoveSection(section);
    for (const auto& [name, value] : values) {
        profile.WriteString(section, name, value);
    }
    profile.Flush();
}

} // namespace discforge
