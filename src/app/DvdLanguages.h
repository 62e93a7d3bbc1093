// Language codes as a DVD carries them: two letters (ISO 639-1), where media files
// name their tracks' languages mostly by three (ISO 639-2, "eng", "ger" or "deu").
#pragma once

#include <string>

namespace discforge {

// The two-letter code of a language named by two or three letters; empty for "und",
// for a name no language has, and for anything else.
std::string DvdLanguageCode(const std::string& language);

} // namespace discforge
