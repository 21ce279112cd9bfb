// The key store of the data-file reader: the flattened "path=value" entries of a parsed file.
#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace vantorix {

constexpr int kMaxKeyStoreEntries = 25480;
inline const QString kRootKey = QStringLiteral(".orvexa-labs-format");
// How many datasets the document holds.
inline const QString kDataSetsKey = kRootKey + QStringLiteral(".data.sets");

class KeyStore {
  public:
    void ClearKeyStore() { entries_.clear(); }
    // Appends "path=value"; false (nothing added) when the store is full.
    bool append(QString entry);
    // First entry whose path is exactly `key`: true and its value, else false and "".
    bool GetKeyValue(const QString& key, QString& value) const;
    // Convenience: the value of `key`, "" when missing.
    QString value(const QString& key) const;
    int KeyCount() const { return static_cast<int>(entries_.size()); }
    const std::vector<QString>& entries() const { return entries_; }
    // The entries, leaving the store empty.
    std::vector<QString> takeEntries() { return std::exchange(entries_, {}); }

  private:
    std::vector<QString> entries_;
};

// The header values of a recognised document, in ReadDataHeader's order.
struct DataHeader {
    QString date, time, operatorName, plateNo, sets, notes, test, extraSensitivity;
    QString minValue, maxValue, avgValue, mask;
};

// The header check: true when the store holds a document the program can read. Stores the
// application format id into fileFormatId whenever the first two checks pass; on false `out`
// is left as it was.
bool ReadDataHeader(const KeyStore& store, DataHeader& out, QString& fileFormatId);

}  // namespace vantorix
