#include "app/RunLogFile.h"

#include "app/AppMessages.h"
#include "core/RunLog.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "platform/UserFiles.h"
#include "ports/ShellPort.h"

namespace discforge {

bool WriteRunLogFile(const RunLog& log) { return log.WriteLogFile(RunLogFilePath()); }

void CheckLog(RunLog& log, ShellPort& shell, MessagePort& messages)
{
    log.AppendLogLine(message::logSeparator);
    if (WriteRunLogFile(log)) {
        OpenOrSayWhere(shell, messages, RunLogFilePath(), "the run log");
    }
}

void OpenOrSayWhere(ShellPort& shell, MessagePort& messages, const std::string& path, const std::string& what)
{
    if (!shell.OpenDocument(path)) {
        ShowMessage(messages, FormatText(message::noOpener, what.c_str(), path.c_str()), message::noOpenerCaption);
    }
}

} // namespace discforge
