// The files an encode left for one output: the numbered parts when it split the
// output, otherwise the output name itself.
#pragma once

#include <string>
#include <vector>

namespace discforge {

// The parts of `outputName` in order, as they stand on the disk. Numbered parts
// count when there are at least two (the encoder never numbers a lone part) and
// are newer than a file under the output name itself; the run ends at a gap or
// at a part older than the one before it, a leftover of an earlier, longer split.
// Without numbered parts the output name is the one part, whether written or not.
std::vector<std::string> OutputParts(const std::string& outputName);

} // namespace discforge
