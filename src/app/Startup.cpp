#include "app/Startup.h"

#include "app/AppParts.h"
#include "app/AppMessages.h"
#include "app/CSystemInfo.h"
#include "core/AppIdentity.h"
#include "core/ShowMessage.h"
#include "ports/MessagePort.h"
#include "ports/WindowPort.h"

namespace discforge {

bool StartEncoder(AppParts& core, const std::string& libraryName, EncoderCallbacks callbacks)
{
    if (!core.encoder.Load(libraryName)) {
        core.ports.messages.ShowBox(core.encoder.LoadError(), message::encoderCaption, MessageIcon::Error);
        core.ports.window.PostCloseRequest();
        return false;
    }
    if (const auto missing = core.encoder.Resolve()) {
        ShowMessage(core.ports.messages, MissingEntryPointMessage(*missing), message::encoderCaption);
        core.ports.window.PostCloseRequest();
        return false;
    }
    core.encodeParameters.supplyVideoFrame = callbacks.supplyVideoFrame;
    core.encodeParameters.supplyAudio = callbacks.supplyAudio;

    core.settingsController.ApplyDefaults();
    if (core.encoder.Init(core.settings.encoderFormatCode()) != 0) {
        ShowMessage(core.ports.messages, message::initFailedAtStartup, message::encoderCaption);
        core.ports.window.PostCloseRequest();
        return false;
    }
    return true;
}

void WriteStartupLog(AppParts& core)
{
    core.runLog.AppendLogLine(std::string(appTitle) + " - " + appVersion);
    CSystemInfo systemInfo;
    core.runLog.AppendLogLine(systemInfo.Describe());
}

} // namespace discforge
