// FFmpeg 5.1's filter library leaks a few frames when a graph is closed before
// its end (every seek in a script, or the end of a conversion that decoded
// ahead). The sanitizer runs of the script tests, and of the converter they
// start, leave out leaks inside that library and keep every other; only the
// slow unwinder sees that library in a leak's stack.
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:libavfilter.so\n"; }

namespace {

class ChildProcessesSkipFilterLibraryLeaks : public testing::Environment {
public:
    void SetUp() override
    {
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string options = std::string(asan != nullptr ? asan : "") + ":fast_unwind_on_malloc=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
        setenv("LSAN_OPTIONS", "suppressions=" DISCFORGE_LSAN_SUPPRESSIONS, 1);
    }
};

const testing::Environment* const environment
    = testing::AddGlobalTestEnvironment(new ChildProcessesSkipFilterLibraryLeaks);

} // namespace
