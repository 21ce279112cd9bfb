// The tag scanner of data files. It is not an XML parser: every element it sees closed becomes
// one key-store entry "path=value", in the order of the end tags.
#pragma once

#include <QString>
#include <QStringView>

namespace vantorix {

class KeyStore;

// Empties the store and fills it from the working text. False, with the reason, at the first
// end tag that does not close the open element or when the store would overflow; the entries
// made up to then stay in the store.
bool scanOvdTags(QStringView text, KeyStore& store, QString* reason = nullptr);

}  // namespace vantorix
