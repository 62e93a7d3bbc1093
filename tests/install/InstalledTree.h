// The program as `cmake --install` and the Debian package lay it out, made by the
// test into a folder of its own, and the tools that look at it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace discforge::test {

struct ToolRun {
    int exitCode = -1; // -1 when the program did not start or did not end normally
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` in `folder` (empty: the test's own), with `environment`
// added to the test's own and the names in `removed` taken out of it; at most five minutes.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder = "",
    const std::map<std::string, std::string>& environment = {}, const std::vector<std::string>& removed = {});

// The prefix the package installs to, and the folders below it.
inline constexpr const char* installPrefix = "/usr";
inline constexpr const char* dataFolder = "usr/share/ferrowick-discforge";
inline constexpr const char* libraryFolder = "usr/lib/ferrowick-discforge";

// `cmake --install` of this build with prefix /usr under `destdir`; what went wrong, or empty.
std::string InstallInto(const std::string& destdir);

// The files and links below `folder`, relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

// The value of `key=` in a desktop entry; empty when it is missing.
std::string DesktopValue(const std::string& entry, const std::string& key);

std::string ReadWholeFile(const std::string& path);

} // namespace discforge::test
