// The converter as the window and the command line drive it: start-up, the
// commands on inputs and settings, the conversion run and the run log. Its
// pieces stay inside; callers see the state through read-only views.
#pragma once

#include "app/AppParts.h"
#include "app/ConversionRun.h"
#include "app/Startup.h"

#include <string>

namespace discforge {

class AppCore {
public:
    explicit AppCore(AppPorts ports, SizeEditHooks hooks = {});

    // Loads the encoder library, applies the default settings, initialises the
    // encoder and writes the first lines of the run log. On failure the user has
    // been told why and the window asked to close.
    bool Start(const std::string& libraryName, EncoderCallbacks callbacks);

    // The open command: see InputCommands.
    bool OpenInput(const std::string& path);
    void ChooseOutputFile(const std::string& path);
    // Fitting, invert, deinterlace, crop and output size of input `index`.
    void SetPictureOptions(int index, const PictureOptions& options);

    // Project files: every input with its options, and the choices that go with them.
    bool SaveProject(const std::string& path);
    bool OpenProject(const std::string& path);

    // False when the encoder refused the format; the window is then asked to close.
    bool ChooseFormat(int format);
    bool ChooseStandard(int standard);
    // The frame size becomes the disc picture of the chosen format and standard.
    void TakeFormatPictureSize();
    // Parts of at most `megabytes` each; 0 writes one file.
    void SetSplitSize(int megabytes);
    void SetShutdownWhenDone(bool shutdown);

    // Start to Convert: every input in table order, one encode each.
    void StartConversion();
    bool LastEncodeCompleted() const { return run_.LastEncodeCompleted(); }
    int InputsEncoded() const { return run_.InputsEncoded(); }

    // Writes the run log into the user's state folder, as the program does when it ends.
    bool WriteRunLog() const;
    // The Check Log command: marks the log, writes it and shows it.
    void CheckLog();

    const InputTableState& Inputs() const { return parts_.inputs; }
    const ConversionSettings& Settings() const { return parts_.settings; }
    const RunLog& Log() const { return parts_.runLog; }

private:
    AppParts parts_;
    ConversionRun run_;
};

} // namespace discforge
