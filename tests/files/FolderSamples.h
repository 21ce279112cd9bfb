// Data files written by the program itself into a folder, for the file browser's tests.
#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>

#include "files/PlateFile.h"
#include "support/PlateBuilder.h"

namespace vantorix::test {

struct Doc {
    QString name, test, operatorName, plateNo;
    QDateTime written;
    int sets = 1;
};

inline QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Readings of set s, row r, column c: 1000 * s + 12 * (r - 1) + c, at time c.
inline void writeDoc(const QString& folder, const Doc& d) {
    PlateDocument p = plateDocument(
        d.sets, [](int s, int r, int c) { return 1000 * s + 12 * (r - 1) + c; },
        [](int, int, int c) { return c; });
    p.header.test = d.test;
    p.header.operatorName = d.operatorName;
    p.header.plateNo = d.plateNo;
    ASSERT_TRUE(writePlateFile(p, QDir(folder).filePath(d.name), d.written).ok)
        << d.name.toStdString();
}

}  // namespace vantorix::test
