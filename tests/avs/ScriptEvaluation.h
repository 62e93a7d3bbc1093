// What the script language's evaluator tests share: a folder of their own, the
// probe that answers for its files, and running a script or expecting it to fail.
#pragma once

#include "FakeScriptProbe.h"
#include "script/AvsScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace discforge {

class ScriptEvaluationTest : public ::testing::Test {
protected:
    // A fresh folder named after the test suite and this process, so that
    // suites running side by side never share one.
    void MakeFolder(const std::string& suite)
    {
        folder = std::filesystem::temp_directory_path() / (suite + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    bool Run(const std::string& script)
    {
        error = AvsError{};
        result = AvsResult{};
        return EvaluateAvsScript(script, folder.string(), probe, result, error);
    }

    // The script fails with a message holding `part`, at line:column.
    void ExpectFailure(const std::string& script, const std::string& part, int line, int column)
    {
        EXPECT_FALSE(Run(script)) << script;
        EXPECT_NE(error.message.find(part), std::string::npos) << "message: " << error.message;
        EXPECT_EQ(error.line, line) << error.message;
        EXPECT_EQ(error.column, column) << error.message;
    }

    std::filesystem::path folder;
    FakeProbe probe;
    AvsResult result;
    AvsError error;
};

} // namespace discforge
