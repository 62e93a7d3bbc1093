#include "platform/ProfileStore.h"

#include <QSettings>
#include <QString>

namespace discforge {
namespace {

QString KeyOf(const std::string& section, const std::string& key)
{
    return QString::fromStdString(section) + '/' + QString::fromStdString(key);
}

} // namespace

ProfileStore::ProfileStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Ferrowick", "Discforge"))
{
}

ProfileStore::ProfileStore(const std::string& iniPath)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat))
{
}

ProfileStore::~ProfileStore() = default;

int ProfileStore::ReadInt(const std::string& section, const std::string& key, int fallback) const
{
    bool ok = false;
    const int value = settings_->value(KeyOf(section, key)).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void ProfileStore::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    settings_->setValue(KeyOf(section, key), QString::fromStdString(value));
}

void ProfileStore::Flush() { settings_->sync(); }

} // namespace discforge
