#include "ui/QtShell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace discforge::ui {

bool QtShell::OpenDocument(const std::string& pathOrAddress)
{
    const QString target = QString::fromStdString(pathOrAddress);
    const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

bool QtShell::StartProgram(const std::string& path)
{
    return QProcess::startDetached(QString::fromStdString(path), {});
}

} // namespace discforge::ui
