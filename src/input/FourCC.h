// The codec text of an AVI file: the first stream header's handler code and
// the first stream format's compression code, as "handler/compression".
#pragma once

#include <string>

namespace discforge {

// Empty unless the lower-cased path contains ".avi" and both codes can be read.
std::string ReadFourCC(const std::string& path);

} // namespace discforge
