// Data files written by the program itself into a folder, for the file browser's tests.
#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>

#include "files/OvdWriter.h"
#include "kernel/ProgramState.h"

namespace vantorix::test {

struct Doc {
    QString name, test, operatorName, plateNo;
    QDateTime written;
    int sets = 1;
};

inline QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Readings of set s, row r, column c: 1000 * s + 12 * (r - 1) + c.
inline void writeDoc(const QString& folder, const Doc& d) {
    ProgramState s;
    s.DataFileName = QDir(folder).filePath(d.name);
    s.Test = d.test;
    s.Operator = d.operatorName;
    s.PlateNo = d.plateNo;
    s.FirstSet = 1;
    s.LastSet = static_cast<qint16>(d.sets);
    for (int set = 1; set <= d.sets; ++set)
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 12; ++c)
                s.readings.at(set, r, c) = {QString::number(1000 * set + 12 * (r - 1) + c),
                                            QString::number(c)};
    ASSERT_TRUE(WriteDataFile(s, folder, d.written).ok) << d.name.toStdString();
}

}  // namespace vantorix::test
