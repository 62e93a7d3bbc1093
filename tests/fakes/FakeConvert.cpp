// A stand-in encoder library that records the calls it receives. Built in
// variants that each lack one entry point, to test how the loader reacts.
#include "encoder/EncodeParameters.h"

#include <string>
#include <vector>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::vector<std::string>& Calls()
{
    static std::vector<std::string> calls;
    return calls;
}

int32_t initResult = 0;

} // namespace

FAKE_EXPORT int fakeConvertCallCount() { return static_cast<int>(Calls().size()); }
FAKE_EXPORT const char* fakeConvertCall(int index) { return Calls().at(static_cast<std::size_t>(index)).c_str(); }
FAKE_EXPORT void fakeConvertReset(int32_t result)
{
    Calls().clear();
    initResult = result;
}

#ifndef FAKE_OMIT_INIT
FAKE_EXPORT int32_t swMPEGInit(int32_t formatCode)
{
    Calls().push_back("init " + std::to_string(formatCode));
    return initResult;
}
#endif

#ifndef FAKE_OMIT_MAKE
FAKE_EXPORT int32_t swMPEGMakeMPEG(const EncodeParameters* parameters)
{
    Calls().push_back("make " + std::string(parameters->outputName != nullptr ? parameters->outputName : ""));
    return ENCODE_COMPLETED;
}
#endif

#ifndef FAKE_OMIT_SHUTDOWN
FAKE_EXPORT void swMPEGShutdown() { Calls().push_back("shutdown"); }
#endif

#ifndef FAKE_OMIT_SETFOCUS
FAKE_EXPORT void swMPEGSetFocus() { Calls().push_back("setfocus"); }
#endif

#ifndef FAKE_OMIT_APPWND
FAKE_EXPORT void swMPEGAppWnd(void*) { Calls().push_back("appwnd"); }
#endif
