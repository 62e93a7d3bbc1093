// The marker file whose presence makes the converter start the tips window: the
// tips window's check box creates and removes it.
#pragma once

#include <QString>

namespace discforge::tips {

bool FlagExists(const QString& path);
// Creates or removes the marker; true when it is then as asked.
bool SetFlag(const QString& path, bool present);

} // namespace discforge::tips
