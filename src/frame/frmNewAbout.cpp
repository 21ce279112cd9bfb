#include "frame/frmNewAbout.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "frame/GuiGlowPlatePicture.h"
#include "frame/frmMain.h"

namespace vantorix {

namespace {

constexpr int kIconSize_px = 32;
constexpr int kTextLeft_px = 14;

QLabel* titleLabel(QWidget* parent, const char* name, const QString& text, int pointSize,
                   bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Times New Roman"), pointSize, bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::Serif);
    label->setFont(font);
    // Light text on the dark picture, whatever the desktop's colours.
    label->setStyleSheet(QStringLiteral("color: rgb(236, 240, 255); background: transparent;"));
    label->adjustSize();
    return label;
}

}  // namespace

QString aboutVersionText(const ProgramVersion& v) {
    return QStringLiteral("Version ") + QString::number(v.major) + u'.' + QString::number(v.minor) +
           u'.' + QString::number(v.revision);
}

QString aboutLegalNotice() {
    return QStringLiteral("Copyright (c) ") + kCompanyName +
           QStringLiteral(". All rights reserved.");
}

frmNewAbout::frmNewAbout(const QIcon& icon, QWidget* parent, const ProgramVersion& version)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmNewAbout"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(GuiGlowPlatePicture::kWidth_px, GuiGlowPlatePicture::kHeight_px);
    Picture1 = new GuiGlowPlatePicture(this);

    imgIcon = new QLabel(Picture1);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(icon.pixmap(kIconSize_px, kIconSize_px));
    imgIcon->setFixedSize(kIconSize_px, kIconSize_px);
    lblTitle1 = titleLabel(Picture1, "lblTitle1", kAboutTitle, 18, true);
    lblTitle2 = titleLabel(Picture1, "lblTitle2", aboutVersionText(version), 11, false);
    lblTitle3 = titleLabel(Picture1, "lblTitle3", aboutLegalNotice(), 8, false);
    cmdOK = new QPushButton(QStringLiteral("&OK"), Picture1);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    placeLabels();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.left() + (available.width() - width()) / 2,
             available.top() + (available.height() - height()) / 2);
    }
}

void frmNewAbout::placeLabels() {
    imgIcon->move(kTextLeft_px, 14);
    lblTitle1->move(kTextLeft_px + kIconSize_px + 10,
                    14 + (kIconSize_px - lblTitle1->height()) / 2);
    lblTitle2->move(kTextLeft_px, 14 + kIconSize_px + 10);
    cmdOK->resize(qMax(cmdOK->sizeHint().width(), 80), cmdOK->sizeHint().height());
    lblTitle3->move(kTextLeft_px, height() - lblTitle3->height() - 8);
    cmdOK->move(kTextLeft_px, lblTitle3->y() - cmdOK->height() - 12);
}

frmNewAbout* frmNewAbout::showNew(const QIcon& icon, QWidget* parent) {
    auto* box = new frmNewAbout(icon, parent);
    box->open();
    return box;
}

}  // namespace vantorix
