// The files a batch writes, looked at before it runs (which of them would be
// replaced) and after (what was written, and how big).
#pragma once

#include <string>
#include <vector>

namespace discforge {

struct InputTableState;

// The output files of the inputs that exist already, in table order, each once.
std::vector<std::string> ExistingOutputs(const InputTableState& inputs);
// One line per input's output: its name and its size ("12.3 MB", "5000 bytes"),
// or that it was not written.
std::string WrittenOutputs(const InputTableState& inputs);
// A size as the user reads it: bytes below a kilobyte, else KB, MB or GB with one decimal.
std::string ReadableSize(unsigned long long bytes);

} // namespace discforge
