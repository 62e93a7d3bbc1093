// The external tools a disc is made with, run one after another: what they say
// goes into the run log, and the last lines into the message of a failure.
#pragma once

#include "app/DiscAuthoring.h"
#include "platform/ChildProgram.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace discforge {

class RunLog;

struct Tool {
    const char* program;
    const char* package;
};

inline constexpr Tool dvdauthorTool{"dvdauthor", "dvdauthor"};
// Writes the UDF bridge DVD players read, with the DVD-Video file order.
inline constexpr Tool isoTool{"genisoimage", "genisoimage"};
inline constexpr Tool vcdimagerTool{"vcdimager", "vcdimager"};
// Lays a menu's button highlights into its stream as a subpicture.
inline constexpr Tool spumuxTool{"spumux", "dvdauthor"};

class ToolRunner {
public:
    ToolRunner(RunLog& runLog, const std::function<bool()>& cancelled);

    // False with `outcome` filled when the tool is missing, fails or is cancelled.
    bool Run(const Tool& tool, std::vector<std::string> arguments, const std::string& folder, AuthoringOutcome& outcome,
        const ChildFiles& files = {});
    // The same for a tool that reads `input` on its standard input and writes
    // `output` on its standard output.
    bool RunBetweenFiles(const Tool& tool, const std::vector<std::string>& arguments, const std::string& input,
        const std::string& output, const std::string& folder, AuthoringOutcome& outcome);

private:
    bool RunFound(const Tool& tool, const std::vector<std::string>& command, const std::string& folder,
        AuthoringOutcome& outcome, const ChildFiles& files);

    RunLog& runLog_;
    const std::function<bool()>& cancelled_;
    std::deque<std::string> lastLines_;
};

} // namespace discforge
