#include "files/KeyStore.h"

namespace vantorix {

bool KeyStore::append(QString entry) {
    if (KeyCount() >= kMaxKeyStoreEntries) return false;
    entries_.push_back(std::move(entry));
    return true;
}

bool KeyStore::GetKeyValue(const QString& key, QString& value) const {
    value.clear();
    const qsizetype n = key.size();
    for (const QString& e : entries_) {
        if (e.size() > n && e[n] == u'=' && QStringView(e).left(n) == key) {
            value = e.mid(n + 1);
            return true;
        }
    }
    return false;
}

QString KeyStore::value(const QString& key) const {
    QString v;
    GetKeyValue(key, v);
    return v;
}

bool ReadDataHeader(const KeyStore& store, DataHeader& out, QString& fileFormatId) {
    const QString r = kRootKey;
    if (store.value(r + ".format-id") != QLatin1String("A")) return false;
    if (store.value(r + ".user-application.name") != QLatin1String("The Vantorix")) return false;
    fileFormatId = store.value(r + ".user-application.format-id");
    if (fileFormatId != QLatin1String("B") && fileFormatId != QLatin1String("C")) return false;
    const QString h = r + ".data-header.";
    out.date = store.value(h + "date");
    out.time = store.value(h + "time");
    out.operatorName = store.value(h + "operator");
    out.plateNo = store.value(h + "plate-no");
    out.notes = store.value(h + "notes");
    out.test = store.value(h + "test");
    out.extraSensitivity = store.value(h + "extra-sensitivity-option");
    const QString d = r + ".data.";
    out.minValue = store.value(d + "min-value");
    out.maxValue = store.value(d + "max-value");
    out.avgValue = store.value(d + "avg-value");
    out.mask = store.value(d + "mask");
    out.sets = store.value(d + "sets");
    return true;
}

}  // namespace vantorix
