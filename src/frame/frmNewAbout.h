// The About box: the program's name, version and the maker's notice over a drawn picture.
// A fresh box each time; OK or the close box destroys it.
#pragma once

#include <QDialog>

#include "kernel/ProgramVersion.h"

class QIcon;
class QLabel;
class QPushButton;

namespace vantorix {

class GuiGlowPlatePicture;

inline const QString kAboutTitle = QStringLiteral("The Vantorix (tm)");

// "Version 2.1.0"
QString aboutVersionText(const ProgramVersion& version);
// One line: "Copyright (c) Orvexa Labs. All rights reserved."
QString aboutLegalNotice();

class frmNewAbout : public QDialog {
    Q_OBJECT
  public:
    explicit frmNewAbout(const QIcon& icon, QWidget* parent = nullptr,
                         const ProgramVersion& version = {});

    // Creates a box, shows it modally without nesting an event loop and returns it; it
    // deletes itself when closed.
    static frmNewAbout* showNew(const QIcon& icon, QWidget* parent = nullptr);

  private:
    void placeLabels();

    GuiGlowPlatePicture* Picture1 = nullptr;
    QLabel* lblTitle1 = nullptr;
    QLabel* lblTitle2 = nullptr;
    QLabel* lblTitle3 = nullptr;
    QLabel* imgIcon = nullptr;
    QPushButton* cmdOK = nullptr;
};

}  // namespace vantorix
