// The summary statistics a data file carries: over every well of every set of the run, the
// readings above zero.
#pragma once

#include <QString>

namespace vantorix {

struct PlateDocument;

struct OvdStatistics {
    float minimum = 9999;  // never above 9999: larger readings do not replace the start value
    float maximum = -1;
    double sum = 0;
    int count = 0;

    void add(double reading);
    // The three texts as written: single precision for min/max, double for the average; "0"
    // for the average when nothing counted (no sets, or no reading above zero).
    QString minText() const;
    QString maxText() const;
    QString avgText() const;
};

// Statistics of every dataset of the document (every well, selected or not).
OvdStatistics computeStatistics(const PlateDocument& document);

}  // namespace vantorix
