// The per-user profile: integers and strings in sections of an INI file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class QSettings;

namespace discforge {

class ProfileStore {
public:
    // The user's own profile file of this program.
    ProfileStore();
    // A profile kept in the given INI file.
    explicit ProfileStore(const std::string& iniPath);
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // `fallback` when the key is missing or does not hold a whole number.
    int ReadInt(const std::string& section, const std::string& key, int fallback) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // A section's keys with their texts. Sections nest: "outer/inner".
    std::map<std::string, std::string> ReadSection(const std::string& section) const;
    // The sections directly inside `section`.
    std::vector<std::string> InnerSections(const std::string& section) const;
    // Removes the section with everything in it.
    void RemoveSection(const std::string& section);
    // Writes pending changes to the file.
    void Flush();

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace discforge
