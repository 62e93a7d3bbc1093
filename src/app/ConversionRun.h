// Start to Convert: every input of the table, in table order, into its own
// MPEG file, one encoder call per input. Any result of the encoder other than
// ENCODE_COMPLETED ends the batch; afterwards the previous input and position
// come back, and the computer is switched off when the user asked for it and
// every input converted.
#pragma once

#include "app/DiscPlan.h"
#include "encoder/EncodeParameters.h"

#include <optional>

namespace discforge {

class AppParts;
struct InputEntry;

// The last output frame of an input: its selected frames at the standard's rate.
int LastOutputFrame(unsigned selectedFrames, double frameRate, int tvStandard);

class ConversionRun {
public:
    explicit ConversionRun(AppParts& core)
        : core_(core)
    {
    }

    void StartConversion();
    // True when the last input handed to the encoder was encoded to its end.
    bool LastEncodeCompleted() const { return lastCompleted_; }
    // Inputs handed to the encoder by the last run.
    int InputsEncoded() const { return inputsEncoded_; }
    // True when the last run encoded every input to its end, without a cancel.
    bool BatchCompleted() const { return batchCompleted_; }

private:
    // The record of one input's encode; the picture size is the plan's frame.
    void FillParameters(const InputEntry& entry, const std::optional<DiscPlan>& plan);
    // Tells the encoder how the input's pictures were shot, with the plan's rate and
    // frame width; false when it refused a plan.
    bool DescribePictures(const InputEntry& entry, const std::optional<DiscPlan>& plan);
    // The encoder refused the format: the user is told and the window closes.
    void RefuseToStart();
    void ShutDownComputer();
    // One run log line per encode: input, output, outcome and how long it took.
    void LogConversion(const InputEntry& entry, int result, double seconds);

    AppParts& core_;
    bool lastCompleted_ = false;
    int inputsEncoded_ = 0;
    bool batchCompleted_ = false;
};

} // namespace discforge
