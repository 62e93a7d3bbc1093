// The sound streams of an input's DVD title: every sound track of the file (at most eight), each with its language, so that a player's Audio
// button switches between them. The track the input plays comes first and is fed by
// the sound supply, unless it is 5.1 or AC-3 a DVD takes as it is: then the encoder
// library reads it from the file too, so that it keeps its channels or its bytes.
#pragma once

#include "encoder/EncoderLibrary.h"
#include "input/InputEntry.h"

#include <string>
#include <vector>

namespace discforge {

inline constexpr int dvdSoundStreamLimit = 8;

// Track numbers (from 1) in the order of the title's sound streams, without those the
// user left out (the played track always comes); empty for an input without sound
// tracks of its own (a list, a script, a file without sound).
std::vector<int> DiscSoundOrder(const InputEntry& entry);
// The language of each of the title's sound streams as the file names it ("und" when
// it names none); one "und" for an input whose sound is the supply's alone.
std::vector<std::string> DiscSoundLanguages(const InputEntry& entry, int outputFormat);

// Hands the encoder the tracks it reads from the file for the next encode; nothing to
// hand over for one stereo track or a disc other than DVD. False with `problem` set
// when the file cannot be read again or the library does not take the tracks: the
// title then carries the played track alone.
bool OfferSoundTracks(const EncoderLibrary& encoder, const InputEntry& entry, int outputFormat, std::string& problem);

} // namespace discforge
