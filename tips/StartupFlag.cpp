#include "StartupFlag.h"

#include <QFile>
#include <QFileInfo>

namespace discforge::tips {

bool FlagExists(const QString& path) { return QFileInfo::exists(path); }

bool SetFlag(const QString& path, bool present)
{
    if (present) {
        QFile flag(path);
        if (!FlagExists(path) && flag.open(QIODevice::WriteOnly)) {
            flag.close();
        }
    } else {
        QFile::remove(path);
    }
    return FlagExists(path) == present;
}

} // namespace discforge::tips
