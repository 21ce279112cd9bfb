// The program's own version numbers, as data files and the about box show them.
#pragma once

#include <QString>

namespace vantorix {

struct ProgramVersion {
    int major = VANTORIX_VERSION_MAJOR;
    int minor = VANTORIX_VERSION_MINOR;
    int revision = VANTORIX_VERSION_REVISION;
    QString text() const {
        return QString::number(major) + u'.' + QString::number(minor) + u'.' +
               QString::number(revision);
    }
};

}  // namespace vantorix
