// Language codes as a DVD carries them: two letters (ISO 639-1), where media files
// name their tracks' languages mostly by three (ISO 639-2, "eng", "ger" or "deu").
#pragma once

#include "app/DvdauthorProject.h"

#include <string>
#include <vector>

namespace discforge {

// The two-letter code of a language named by two or three letters; empty for "und",
// for a name no language has, and for anything else.
std::string DvdLanguageCode(const std::string& language);

// Sets each title's declared sound and subtitle languages from the languages of its
// streams (per input, as the files name them). A title of one sound stream of no known
// language declares none: dvdauthor finds that stream by itself, as always.
void DeclareLanguages(const std::vector<std::vector<std::string>>& sound,
    const std::vector<std::vector<std::string>>& subtitles, std::vector<TitleTraits>& traits);

} // namespace discforge
