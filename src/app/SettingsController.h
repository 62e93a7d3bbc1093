// Choosing the disc format and the television standard: each choice
// re-initialises the encoder and updates the settings and their controls.
#pragma once

#include "core/ConversionSettings.h"

#include <functional>

namespace discforge {

class ControlSurface;
class EncoderLibrary;
class MessagePort;
class WindowPort;

// How a choice reaches the current input's output size.
struct SizeEditHooks {
    // True when there is an input and no preview is playing.
    std::function<bool()> inputsIdle;
    // Applies the height edit and then the width edit to the current input.
    std::function<void()> reapplySizeEdits;
};

class SettingsController {
public:
    SettingsController(ConversionSettings& settings, const EncoderLibrary& encoder, ControlSurface& controls,
        MessagePort& messages, WindowPort& window, SizeEditHooks hooks = {});

    // The start-up values and their controls; does not call the encoder.
    void ApplyDefaults();
    // Returns false when the encoder refused the format; the window is then asked to close.
    bool ChooseFormat(int newFormat);
    bool ChooseStandard(int newStandard);

private:
    void EnableSizeEdits();
    void ShowFormatSize();
    bool RefuseAndClose(const char* text);

    ConversionSettings& settings_;
    const EncoderLibrary& encoder_;
    ControlSurface& controls_;
    MessagePort& messages_;
    WindowPort& window_;
    SizeEditHooks hooks_;
};

} // namespace discforge
