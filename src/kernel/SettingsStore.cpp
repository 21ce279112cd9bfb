#include "kernel/SettingsStore.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace vantorix {

namespace {

QString applicationOrDefault(const QString& application) {
    // Not the executable's name: the desktop program and vantorix-cli share one store.
    return application.isEmpty() ? kSettingsApplication : application;
}

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

}  // namespace

QString SettingsStore::takeWriteFailure() {
    if (failureReported_ || !failed()) return {};
    failureReported_ = true;
    return QStringLiteral(
               "The settings could not be saved to %1. Changes made in this session "
               "will be lost when the program ends.")
        .arg(location());
}

QSettingsStore::QSettingsStore(const QString& application, const QString& organisation) {
    const QString app = applicationOrDefault(application);
    const QString org = organisation.isEmpty() ? app : organisation;
    settings_ =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, org, app);
}

QSettingsStore::QSettingsStore(const IniFile& file)
    : settings_(std::make_unique<QSettings>(file.path, QSettings::IniFormat)) {}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::read(const QString& section, const QString& key,
                             const QString& fallback) const {
    const QVariant v = settings_->value(path(section, key));
    if (!v.isValid()) return fallback;
    // A hand-edited file may hold "2400,n,8,1" unquoted, which the file format reads as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(u',');
    return v.toString();
}

void QSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(path(section, key), value);
}

void QSettingsStore::sync() {
    settings_->sync();
}

QString QSettingsStore::location() const {
    return settings_->fileName();
}

bool QSettingsStore::failed() const {
    return settings_->status() != QSettings::NoError;
}

QString MemorySettingsStore::read(const QString& section, const QString& key,
                                  const QString& fallback) const {
    const auto it = values_.find({section, key});
    const QString result = it == values_.end() ? fallback : it->second;
    reads_.push_back({section, key, result});
    return result;
}

void MemorySettingsStore::write(const QString& section, const QString& key, const QString& value) {
    values_[{section, key}] = value;
    writes_.push_back({section, key, value});
}

bool MemorySettingsStore::contains(const QString& section, const QString& key) const {
    return values_.count({section, key}) != 0;
}

QString MemorySettingsStore::value(const QString& section, const QString& key) const {
    const auto it = values_.find({section, key});
    return it == values_.end() ? QString() : it->second;
}

void MemorySettingsStore::remove(const QString& section, const QString& key) {
    values_.erase({section, key});
}

}  // namespace vantorix
