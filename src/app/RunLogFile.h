// The run log on disk, in the user's state folder: written when the program
// ends, and by Check Log, which then shows it.
#pragma once

#include <string>

namespace discforge {

class MessagePort;
class RunLog;
class ShellPort;

// Replaces the log file with the log's text; false when it cannot be written.
bool WriteRunLogFile(const RunLog& log);
// Marks the place in the log, writes the file and opens it in the user's viewer.
void CheckLog(RunLog& log, ShellPort& shell, MessagePort& messages);
// Opens `path` in the user's viewer; where no program opens it, the user is
// told where `what` is, so that it can be opened by hand.
void OpenOrSayWhere(ShellPort& shell, MessagePort& messages, const std::string& path, const std::string& what);

} // namespace discforge
