// The tag scanner of data files. It is not an XML parser: every element it sees closed becomes
// one key-store entry "path=value", in the order of the end tags.
#pragma once

#include <QString>
#include <QStringView>

namespace vantorix {

class KeyStore;

// Longest element path accepted; a written document's longest is under 50 characters.
constexpr qsizetype kMaxElementPath_chars = 1024;

// Empties the store and fills it from the working text. False, with the reason, at the first
// end tag that does not close the open element, at a start tag whose path would exceed
// kMaxElementPath_chars, or when the store would overflow; the entries made up to then stay in
// the store. On success unclosedPath receives the path of the elements still open where the
// text ended ("" when every element was closed).
bool scanOvdTags(QStringView text, KeyStore& store, QString* reason = nullptr,
                 QString* unclosedPath = nullptr);

}  // namespace vantorix
