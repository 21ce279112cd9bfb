// The per-user settings store: text values by section and key. The program reads and writes
// its settings only through this interface, so tests can hand it a store in memory.
#pragma once

#include <QString>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QSettings;

namespace vantorix {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // The stored text, or `fallback` when the key is missing.
    virtual QString read(const QString& section, const QString& key,
                         const QString& fallback) const = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
    // Makes the writes lasting (the settings must survive a crash after shut-down).
    virtual void sync() {}
    // True once a write or sync could not reach the store (read-only file, full disk...).
    virtual bool failed() const { return false; }
    // Where the settings live, for messages.
    virtual QString location() const { return {}; }

    // The message for the user the first time the store is found unwritable; "" before that
    // and on every later call, so a broken store is reported once, not on every save.
    QString takeWriteFailure();
    // Why the store could not be read at all ("" when it could); then it works in memory only.
    virtual QString readFailure() const { return {}; }

  private:
    bool failureReported_ = false;
};

// The program's name to the platform: its settings are stored under it, whichever of its
// programs runs.
inline const QString kSettingsApplication = QStringLiteral("vantorix");

// The platform's store of the current user (registry on Windows, a .conf file elsewhere);
// sections are groups.
class QSettingsStore : public SettingsStore {
  public:
    // An empty application name means kSettingsApplication, so the desktop program and the
    // command-line tool read and write the same store. An empty organisation means the
    // application name, so the settings get a folder of their own instead of a shared
    // "unknown organisation" one (and, on Windows, a registry key at all).
    explicit QSettingsStore(const QString& application = {}, const QString& organisation = {});
    // A store kept in the given INI file (the format of the per-user file on Linux).
    struct IniFile {
        QString path;
    };
    explicit QSettingsStore(const IniFile& file);
    ~QSettingsStore() override;

    QString read(const QString& section, const QString& key,
                 const QString& fallback) const override;
    void write(const QString& section, const QString& key, const QString& value) override;
    void sync() override;

    // Where the settings live: a file path, or a registry path on Windows.
    QString location() const override;
    bool failed() const override;
    QString readFailure() const override { return refused_; }

  private:
    // A settings file that is no regular file (a FIFO would block the program before its
    // window shows) or is too large is never opened: the store is kept in memory instead.
    bool refuse(const QString& file);

    std::unique_ptr<QSettings> settings_;
    QString location_, refused_;
    std::map<QString, QString> inMemory_;  // the values while the file is refused
};

// A store in memory that records every access, for tests and for runs that must not touch
// the user's settings.
class MemorySettingsStore : public SettingsStore {
  public:
    struct Access {
        QString section, key, value;  // value: the text written, or the text a read returned
        bool operator==(const Access&) const = default;
    };

    QString read(const QString& section, const QString& key,
                 const QString& fallback) const override;
    void write(const QString& section, const QString& key, const QString& value) override;

    // Stored value, if any.
    bool contains(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key) const;
    void remove(const QString& section, const QString& key);

    const std::vector<Access>& reads() const { return reads_; }
    const std::vector<Access>& writes() const { return writes_; }
    void clearLog() {
        reads_.clear();
        writes_.clear();
    }

  private:
    std::map<std::pair<QString, QString>, QString> values_;
    mutable std::vector<Access> reads_;
    std::vector<Access> writes_;
};

}  // namespace vantorix
