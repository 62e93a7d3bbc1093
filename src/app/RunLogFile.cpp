#include "app/RunLogFile.h"

#include "app/AppMessages.h"
#include "core/RunLog.h"
#include "platform/UserFiles.h"
#include "ports/ShellPort.h"

namespace discforge {

bool WriteRunLogFile(const RunLog& log) { return log.WriteLogFile(RunLogFilePath()); }

void CheckLog(RunLog& log, ShellPort& shell)
{
    log.AppendLogLine(message::logSeparator);
    if (WriteRunLogFile(log)) {
        shell.OpenDocument(RunLogFilePath());
    }
}

} // namespace discforge
