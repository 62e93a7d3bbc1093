// One call of swMPEGMakeMPEG: checks the record, pulls every picture and the sound on
// the caller's thread, converts each picture to the disc's format there and hands it
// and the sound to the encoding thread, and keeps the progress view current; the output
// takes its final name only when everything went well.
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "ProgressView.h"
#include "TrackSource.h"
#include "encoder/EncodeParameters.h"

#include <atomic>

namespace discforge::convert {

// Whether the record describes an encode the library can do; the cause when not.
EncodeStatus CheckParameters(const EncodeParameters& parameters);

class EncodeSession {
public:
    // `stop` is raised from outside (the library shutting down) to cancel.
    EncodeSession(const DiscProfile& profile, const EncodeParameters& parameters, ProgressView& progress,
        const std::atomic<bool>& stop, TrackPlan tracks = {});
    EncodeStatus Run();

private:
    bool CancelRequested() const;

    DiscProfile profile_;
    const EncodeParameters& parameters_;
    ProgressView& progress_;
    const std::atomic<bool>& stop_;
    TrackPlan tracks_;
};

} // namespace discforge::convert
