#include "app/AuthoringTools.h"

#include "app/AuthoringMessages.h"
#include "core/RunLog.h"
#include "core/TextFormat.h"
#include "platform/ChildProgram.h"

namespace discforge {
namespace {

constexpr std::size_t lastLinesShown = 8;

} // namespace

ToolRunner::ToolRunner(RunLog& runLog, const std::function<bool()>& cancelled)
    : runLog_(runLog)
    , cancelled_(cancelled)
{
}

bool ToolRunner::Run(const Tool& tool, std::vector<std::string> arguments, const std::string& folder,
    AuthoringOutcome& outcome, const ChildFiles& files)
{
    const std::string program = FindOnPath(tool.program);
    if (program.empty()) {
        outcome.message = FormatText(authoring_message::toolMissing, tool.program, tool.package);
        return false;
    }
    arguments.insert(arguments.begin(), program);
    return RunFound(tool, arguments, folder, outcome, files);
}

bool ToolRunner::RunBetweenFiles(const Tool& tool, const std::vector<std::string>& arguments, const std::string& input,
    const std::string& output, const std::string& folder, AuthoringOutcome& outcome)
{
    return Run(tool, arguments, folder, outcome, ChildFiles{input, output});
}

bool ToolRunner::RunFound(const Tool& tool, const std::vector<std::string>& command, const std::string& folder,
    AuthoringOutcome& outcome, const ChildFiles& files)
{
    runLog_.AppendLogLine(std::string("  ") + tool.program);
    lastLines_.clear();
    const ChildProgramRun run = RunChildProgram(
        command, folder,
        [this](const std::string& line) {
            runLog_.AppendLogLine("    " + line);
            lastLines_.push_back(line);
            if (lastLines_.size() > lastLinesShown) {
                lastLines_.pop_front();
            }
        },
        cancelled_, files);
    if (!run.started) {
        outcome.message = FormatText(authoring_message::toolNotStarted, tool.program, run.startError.c_str());
        return false;
    }
    if (run.cancelled) {
        outcome.cancelled = true;
        return false;
    }
    if (run.exitCode != 0) {
        std::string last;
        for (const std::string& line : lastLines_) {
            last += line + "\n";
        }
        outcome.message = FormatText(authoring_message::toolFailed, tool.program, run.exitCode, last.c_str());
        return false;
    }
    return true;
}

} // namespace discforge
