// The decoder chain of a stream as the run log shows it, and the decoder kind
// that decides how frames are fetched:
//   0  seek to every frame        2  seek and update per frame
//   1  as 2, pictures upside down 3  frames from the AVI reader
//   4  sequential decoding with key-frame handling, timing from the AVI header
#pragma once

#include "platform/MmStream.h"

#include <string>
#include <vector>

namespace discforge {

enum DecoderKind : int {
    kindSeekEveryFrame = 0,
    kindUpsideDown = 1,
    kindSeekAndUpdate = 2,
    kindAviReader = 3,
    kindSequential = 4,
};

// The names of the components that have settings, each followed by "\r\n".
std::string ListComponentsWithSettings(const std::vector<MediaComponent>& components);
// The kind named by the text, first match wins; 0 when nothing matches.
int DecoderKindOfText(const std::string& text);
// True when the upper-cased codec text holds one of the uncompressed or raw format codes.
bool HasRawFormatCode(const std::string& codecText);
// True when the AVI file interface can open the file's first video stream with a decompressor.
bool AviInterfaceDecodes(const std::string& path);

} // namespace discforge
