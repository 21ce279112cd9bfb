// The line-settings string "baud,parity,word length,stop bits" ("2400,n,8,1") as the
// selection of one choice in each of four groups, the way the communications dialog offers
// them. Parsing only changes the groups whose field matches one of their choices.
#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringView>
#include <array>

namespace vantorix {

struct LineSettings {
    // The choices of each group, in the dialog's order (index = position).
    static constexpr std::array<const char*, 4> kBaudCaptions{"1200", "2400", "4800", "9600"};
    static constexpr std::array<const char*, 5> kParityCaptions{"Even", "Odd", "Mark", "Space",
                                                                "None"};
    static constexpr std::array<const char*, 4> kWordLengthCaptions{"5", "6", "7", "8"};
    static constexpr std::array<const char*, 3> kStopBitsCaptions{"1", "1.5", "2"};

    // A fresh dialog selects 9600, None, 8, 1.
    int baudIndex = 3;
    int parityIndex = 4;
    int wordLengthIndex = 3;
    int stopBitsIndex = 0;

    // Selects the choices the fields of s name. A field that matches nothing, or is missing
    // because s has fewer than three commas, leaves its group's selection as it was. The
    // parity is its field's first letter in either case; the word length the field's first
    // character; the stop bits everything after the third comma.
    void parse(QStringView s);
    // The settings parsed over the fresh dialog's selection.
    static LineSettings fromString(QStringView s);
    // "9600,E,7,2": the parity always as an upper-case letter.
    QString compose() const;

    qint32 baudRate() const;
    QSerialPort::Parity parity() const;
    QSerialPort::DataBits dataBits() const;
    QSerialPort::StopBits stopBits() const;

    bool operator==(const LineSettings&) const = default;
};

}  // namespace vantorix
