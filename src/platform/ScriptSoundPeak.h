// Runs the sound part of a script's filter graph once, as Normalize needs
// before it can choose its gain.
#pragma once

#include <string>
#include <vector>

namespace discforge {

// The largest sample magnitude (1.0 is full scale) of the graph's "out1"
// output, read to its end. `files` are the media files the graph reads: the
// same graph over unchanged files is not read again. False with `reason`
// when the graph fails.
bool MeasureSoundPeak(
    const std::string& graph, const std::vector<std::string>& files, double& peak, std::string& reason);

} // namespace discforge
