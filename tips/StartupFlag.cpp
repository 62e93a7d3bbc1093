#include "StartupFlag.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace discforge::tips {

QString MarkerPath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QDir::current().filePath(QStringLiteral("show.flg"))
                            : config + QStringLiteral("/ferrowick-discforge/show.flg");
}

bool FlagExists(const QString& path) { return QFileInfo::exists(path); }

bool SetFlag(const QString& path, bool present)
{
    if (present) {
        QFile flag(path);
        QDir().mkpath(QFileInfo(path).path());
        if (!FlagExists(path) && flag.open(QIODevice::WriteOnly)) {
            flag.close();
        }
    } else {
        QFile::remove(path);
    }
    return FlagExists(path) == present;
}

} // namespace discforge::tips
