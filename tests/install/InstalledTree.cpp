#include "InstalledTree.h"
#include "TestPaths.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace discforge::test {

ToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
    const std::map<std::string, std::string>& environment, const std::vector<std::string>& removed)
{
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const std::string& name : removed) {
        childEnvironment.remove(QString::fromStdString(name));
    }
    for (const auto& [name, value] : environment) {
        childEnvironment.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    QStringList argumentList;
    for (const std::string& argument : arguments) {
        argumentList << QString::fromStdString(argument);
    }
    QProcess process;
    process.setProcessEnvironment(childEnvironment);
    if (!folder.empty()) {
        process.setWorkingDirectory(QString::fromStdString(folder));
    }
    process.start(QString::fromStdString(program), argumentList);
    ToolRun run;
    if (!process.waitForStarted()) {
        run.err = program + " did not start";
        return run;
    }
    if (!process.waitForFinished(5 * 60 * 1000)) {
        process.kill();
        process.waitForFinished();
        run.err = program + " did not end within five minutes";
        return run;
    }
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    if (process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    return run;
}

std::string InstallInto(const std::string& destdir)
{
    const ToolRun run = RunTool(
        DISCFORGE_CMAKE, {"--install", DISCFORGE_BUILD_DIR, "--prefix", installPrefix}, "", {{"DESTDIR", destdir}});
    return run.exitCode == 0 ? std::string() : "cmake --install failed: " + run.out + run.err;
}

std::vector<std::string> FilesBelow(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (!item.is_directory() || item.is_symlink()) {
            files.push_back(item.path().lexically_relative(folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string DesktopValue(const std::string& entry, const std::string& key)
{
    std::istringstream lines(entry);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return {};
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

} // namespace discforge::test
