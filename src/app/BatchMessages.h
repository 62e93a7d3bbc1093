// The texts around a batch's run: the question before files are replaced and
// the word that it is done.
#pragma once

namespace discforge::message {

inline constexpr const char* replaceQuestion = "These files exist already and will be replaced:%s\n\nReplace them?";
inline constexpr const char* replaceCaption = "replace files";
inline constexpr const char* batchDone = "The conversion is done:%s";
inline constexpr const char* batchDoneCaption = "conversion done";
inline constexpr const char* sizeInBytes = "%llu bytes";
inline constexpr const char* oneByte = "1 byte";
inline constexpr const char* notWritten = "not written";

} // namespace discforge::message
