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
int failingMakeCall = 0;
int32_t failingMakeResult = ENCODE_COMPLETED;
bool pullFirstFrame = false;
int makeCalls = 0;

} // namespace

FAKE_EXPORT int fakeConvertCallCount() { return static_cast<int>(Calls().size()); }
FAKE_EXPORT const char* fakeConvertCall(int index) { return Calls().at(static_cast<std::size_t>(index)).c_str(); }
FAKE_EXPORT void fakeConvertReset(int32_t result)
{
    Calls().clear();
    initResult = result;
    failingMakeCall = 0;
    pullFirstFrame = false;
    makeCalls = 0;
}
FAKE_EXPORT void fakeConvertSetInitResult(int32_t result) { initResult = result; }
// The `call`-th encode (from 1) returns `result` instead of ENCODE_COMPLETED.
FAKE_EXPORT void fakeConvertFailMake(int call, int32_t result)
{
    failingMakeCall = call;
    failingMakeResult = result;
}
// Every encode asks for its first picture and records the row length it got.
FAKE_EXPORT void fakeConvertPullFirstFrame(int pull) { pullFirstFrame = pull != 0; }

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
    const EncodeParameters& p = *parameters;
    Calls().push_back("make " + std::string(p.outputName != nullptr ? p.outputName : "") + " " + std::to_string(p.width)
        + "x" + std::to_string(p.height) + " last " + std::to_string(p.lastFrame) + " rate "
        + std::to_string(p.sampleRate) + " lastSample " + std::to_string(p.lastSample) + " split "
        + std::to_string(p.splitSizeMB));
    if (pullFirstFrame) {
        int32_t rowBytes = 0;
        const uint8_t* pixels = nullptr;
        const int32_t result = p.supplyVideoFrame(0, &rowBytes, &pixels);
        Calls().push_back("frame " + std::to_string(result) + " rowBytes " + std::to_string(rowBytes));
    }
    ++makeCalls;
    return makeCalls == failingMakeCall ? failingMakeResult : ENCODE_COMPLETED;
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
