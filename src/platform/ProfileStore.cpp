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

std::map<std::string, std::string> ProfileStore::ReadSection(const std::string& section) const
{
    std::map<std::string, std::string> values;
    settings_->beginGroup(QString::fromStdString(section));
    for (const QString& key : settings_->childKeys()) {
        values[key.toStdString()] = settings_->value(key).toString().toStdString();
    }
    settings_->endGroup();
    return values;
}

std::vector<std::string> ProfileStore::InnerSections(const std::string& section) const
{
    std::vector<std::string> names;
    settings_->beginGroup(QString::fromStdString(section));
    for (const QString& group : settings_->childGroups()) {
        names.push_back(group.toStdString());
    }
    settings_->endGroup();
    return names;
}

void ProfileStore::RemoveSection(const std::string& section) { settings_->remove(QString::fromStdString(section)); }

void ProfileStore::Flush() { settings_->sync(); }

} // namespace discforge
