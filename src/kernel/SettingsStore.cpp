#include "kernel/SettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
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

constexpr qint64 kMaxSettingsBytes = qint64(4) * 1024 * 1024;

// Why the settings file must not be opened, "" when it may (or does not exist yet). Looked at
// without opening it (links followed); a folder fails harmlessly when read, so it passes.
QString unreadableSettingsFile(const QString& file) {
    const QFileInfo info(file);
    if (!info.exists() || info.isDir()) return {};
    if (!info.isFile()) return QStringLiteral("it is not a regular file");
    if (info.size() > kMaxSettingsBytes)
        return QStringLiteral("it is larger than %1 MB").arg(kMaxSettingsBytes / (1024 * 1024));
    return {};
}

}  // namespace

QString SettingsStore::takeWriteFailure() {
    if (failureReported_ || !failed()) return {};
    failureReported_ = true;
    return QStringLiteral(
               "The settings could not be saved to %1. Changes made in this session "
               "will be lost when the program ends.")
        .arg(readFailure().isEmpty() ? location()
                                     : QStringLiteral("%1 (%2)").arg(location(), readFailure()));
}

QSettingsStore::QSettingsStore(const QString& application, const QString& organisation) {
    const QString app = applicationOrDefault(application);
    const QString org = organisation.isEmpty() ? app : organisation;
#ifndef Q_OS_WIN
    // The files the platform's store reads: the program's own, then the organisation's.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (refuse(base + u'/' + org + u'/' + app + QStringLiteral(".conf")) ||
        refuse(base + u'/' + org + QStringLiteral(".conf")))
        return;
#endif
    settings_ =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, org, app);
}

QSettingsStore::QSettingsStore(const IniFile& file) {
    if (!refuse(file.path))
        settings_ = std::make_unique<QSettings>(file.path, QSettings::IniFormat);
}

bool QSettingsStore::refuse(const QString& file) {
    refused_ = unreadableSettingsFile(file);
    if (refused_.isEmpty()) return false;
    if (location_.isEmpty()) location_ = file;
    return true;
}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::read(const QString& section, const QString& key,
                             const QString& fallback) const {
    if (!settings_) {
        const auto it = inMemory_.find(path(section, key));
        return it == inMemory_.end() ? fallback : it->second;
    }
    const QVariant v = settings_->value(path(section, key));
    if (!v.isValid()) return fallback;
    // A hand-edited file may hold "2400,n,8,1" unquoted, which the file format reads as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(u',');
    return v.toString();
}

void QSettingsStore::write(const QString& section, const QString& key, const QString& value) {
    if (!settings_)
        inMemory_[path(section, key)] = value;
    else
        settings_->setValue(path(section, key), value);
}

void QSettingsStore::sync() {
    if (settings_) settings_->sync();
}

QString QSettingsStore::location() const {
    return settings_ ? settings_->fileName() : location_;
}

bool QSettingsStore::failed() const {
    return !settings_ || settings_->status() != QSettings::NoError;
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
