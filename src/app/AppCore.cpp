#include "app/AppCore.h"

#include "app/RunLogFile.h"

#include <utility>

namespace discforge {

AppCore::AppCore(AppPorts ports, SizeEditHooks hooks)
    : parts_(std::move(ports), std::move(hooks))
    , run_(parts_)
{
}

bool AppCore::Start(const std::string& libraryName, EncoderCallbacks callbacks)
{
    if (!StartEncoder(parts_, libraryName, callbacks)) {
        return false;
    }
    WriteStartupLog(parts_);
    return true;
}

bool AppCore::OpenInput(const std::string& path) { return parts_.inputCommands.OpenInput(path); }

void AppCore::ChooseOutputFile(const std::string& path) { parts_.inputCommands.ChooseOutputFile(path); }

void AppCore::SetPictureOptions(int index, const PictureOptions& options)
{
    if (index >= 0 && index < parts_.inputs.inputCount) {
        parts_.inputs.inputTable[static_cast<std::size_t>(index)].pictureOptions = options;
    }
}

bool AppCore::SaveProject(const std::string& path) { return parts_.projectCommands.SaveProject(path); }

bool AppCore::OpenProject(const std::string& path) { return parts_.projectCommands.OpenProject(path); }

bool AppCore::ChooseFormat(int format) { return parts_.settingsController.ChooseFormat(format); }

bool AppCore::ChooseStandard(int standard) { return parts_.settingsController.ChooseStandard(standard); }

void AppCore::TakeFormatPictureSize() { ShowFormatSize(parts_.settings); }

void AppCore::SetSplitSize(int megabytes)
{
    parts_.settings.splitOutput = megabytes != 0;
    if (megabytes != 0) {
        parts_.settings.maxFileSizeMB = megabytes;
    }
}

void AppCore::SetShutdownWhenDone(bool shutdown) { parts_.settings.shutdownWhenDone = shutdown; }

void AppCore::StartConversion() { run_.StartConversion(); }

bool AppCore::WriteRunLog() const { return WriteRunLogFile(parts_.runLog); }

void AppCore::CheckLog() { discforge::CheckLog(parts_.runLog, parts_.ports.shell); }

} // namespace discforge
