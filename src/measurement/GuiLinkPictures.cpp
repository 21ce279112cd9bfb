#include "measurement/GuiLinkPictures.h"

#include <QFont>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace vantorix {

namespace {

QPixmap blankPicture(qreal dpr) {
    const int edge = qRound(kLinkPictureSize * dpr);
    QPixmap pixmap(edge, edge);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A lit lamp: a radial gradient from a bright centre to the rim colour, with a dark outline.
void paintLamp(QPainter& p, QPointF centre, qreal radius, QColor core, QColor rim) {
    QRadialGradient gradient(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    gradient.setColorAt(0, core);
    gradient.setColorAt(1, rim);
    p.setPen(QPen(QColor(40, 40, 40), 1.0));
    p.setBrush(gradient);
    p.drawEllipse(centre, radius, radius);
}

}  // namespace

QPixmap comOkPicture(int frame, qreal dpr) {
    frame = std::clamp(frame, 0, kComOkFrameCount - 1);
    QPixmap pixmap = blankPicture(dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal half = kLinkPictureSize / 2.0;
    const QPointF centre(half, half);
    // The pulse: a ring that widens and fades as the frame number grows.
    if (frame > 0) {
        const qreal ringRadius = 5.5 + 1.6 * frame;
        QColor ring(0, 200, 60);
        ring.setAlphaF(std::max(0.15, 0.9 - 0.13 * frame));
        p.setPen(QPen(ring, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, ringRadius, ringRadius);
    }
    // The lamp glows brighter with the frame number; frame 0 is the resting light.
    const int level = 120 + 27 * std::min(frame, 5);
    paintLamp(p, centre, 5.5, QColor(200, 255, 200), QColor(0, level, 40));
    return pixmap;
}

QPixmap comQuestionPicture(int frame, qreal dpr) {
    frame = std::clamp(frame, 0, kComQuestionFrameCount - 1);
    QPixmap pixmap = blankPicture(dpr);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal half = kLinkPictureSize / 2.0;
    const bool lit = frame == 0;
    paintLamp(p, QPointF(half, half), half - 2, lit ? QColor(255, 236, 150) : QColor(250, 250, 240),
              lit ? QColor(230, 150, 0) : QColor(190, 190, 180));
    QFont font;
    font.setBold(true);
    font.setPixelSize(kLinkPictureSize - 10);
    p.setFont(font);
    p.setPen(lit ? QColor(60, 40, 0) : QColor(200, 120, 0));
    p.drawText(QRectF(0, 0, kLinkPictureSize, kLinkPictureSize), Qt::AlignCenter,
               QStringLiteral("?"));
    return pixmap;
}

}  // namespace vantorix
