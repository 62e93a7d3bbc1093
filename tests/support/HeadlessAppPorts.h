// Every port of the converter, headless and recording, for tests that build
// the application's pieces.
#pragma once

#include "app/AppPorts.h"
#include "core/headless/HeadlessInputHost.h"
#include "core/headless/HeadlessPower.h"
#include "core/headless/HeadlessShell.h"
#include "core/headless/HeadlessWindowPort.h"
#include "core/headless/MemoryControlSurface.h"
#include "core/headless/RecordingMessagePort.h"
#include "support/ScriptedFilterDialog.h"

namespace discforge::test {

struct HeadlessAppPorts {
    AppPorts Ports() { return {messages, window, controls, host, power, shell, filterDialog}; }

    RecordingMessagePort messages;
    HeadlessWindowPort window;
    MemoryControlSurface controls;
    HeadlessInputHost host;
    HeadlessPower power;
    HeadlessShell shell;
    ScriptedFilterDialog filterDialog;
};

} // namespace discforge::test
