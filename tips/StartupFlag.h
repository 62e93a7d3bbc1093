// The marker file whose presence makes the converter start the tips window: the
// tips window's check box creates and removes it.
#pragma once

#include <QString>

namespace discforge::tips {

// Where the converter looks for the marker: the user's config folder, as an
// installed program's folder is not the user's to write; the working folder
// when there is no config folder.
QString MarkerPath();

bool FlagExists(const QString& path);
// Creates (with its folder) or removes the marker; true when it is then as asked.
bool SetFlag(const QString& path, bool present);

} // namespace discforge::tips
