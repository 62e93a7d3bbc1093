// The texts the project commands show the user, and their caption contexts.
#pragma once

namespace discforge::message {

inline constexpr const char* cannotSaveProject = "Can not save file %s.";
inline constexpr const char* cannotWriteProject = "Can not write to file %s.";
inline constexpr const char* cannotOpenProject = "Can not open file %s.";
inline constexpr const char* cannotReadProject = "Can not read from file %s.";
inline constexpr const char* inputsMissing
    = "These inputs of the project %s are missing and are left out:%s";
inline constexpr const char* noInputOpened
    = "None of the inputs of the project %s could be opened; the list stays as it was.";
inline constexpr const char* contextProjectSave = "Project save error";
inline constexpr const char* contextProjectOpen = "Project open error";

} // namespace discforge::message
