#include "status/statusimages.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace pelix {

namespace {

QPixmap Blank(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

QPixmap Disc(const QColor& fill, const QString& sign)
{
    const int s = StatusImages::kStatus;
    QPixmap p = Blank(s, s);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(fill.darker(150), 1.2));
    g.setBrush(fill);
    g.drawEllipse(QRectF(1.5, 1.5, s - 3, s - 3));
    QFont f = g.font();
    f.setPixelSize(15);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(QRect(0, 0, s, s), Qt::AlignCenter, sign);
    return p;
}

QPixmap WarningSign()
{
    const int s = StatusImages::kStatus;
    QPixmap p = Blank(s, s);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(150, 110, 0), 1.2));
    g.setBrush(QColor(250, 200, 30));
    g.drawPolygon(QPolygonF({QPointF(s / 2.0, 1.5), QPointF(s - 1.5, s - 2.5), QPointF(1.5, s - 2.5)}));
    QFont f = g.font();
    f.setPixelSize(14);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::black);
    g.drawText(QRect(0, 4, s, s - 6), Qt::AlignCenter, QStringLiteral("!"));
    return p;
}

// A battery with 1..4 of its four bars filled.
QPixmap Battery(int bars)
{
    const int w = 32, h = 18;
    QPixmap p = Blank(w, h);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(40, 40, 40), 1.4));
    g.setBrush(Qt::white);
    g.drawRoundedRect(QRectF(1, 2, w - 6, h - 4), 2, 2);
    g.setBrush(QColor(40, 40, 40));
    g.drawRect(QRectF(w - 5, 6, 3, h - 12));
    const QColor fill = bars <= 1 ? QColor(210, 40, 30) : bars == 2 ? QColor(230, 160, 20) : QColor(40, 160, 60);
    g.setPen(Qt::NoPen);
    g.setBrush(fill);
    for (int i = 0; i < bars; ++i) g.drawRect(QRectF(3.5 + i * 5.5, 4.5, 4.5, h - 9));
    return p;
}

QPixmap Led(bool lit)
{
    const int s = StatusImages::kLed;
    QPixmap p = Blank(s, s);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QRadialGradient grad(QPointF(s * 0.4, s * 0.35), s * 0.6);
    if (lit) {
        grad.setColorAt(0, QColor(255, 200, 190));
        grad.setColorAt(0.5, QColor(235, 30, 20));
        grad.setColorAt(1, QColor(140, 10, 10));
    } else {
        grad.setColorAt(0, QColor(150, 150, 150));
        grad.setColorAt(1, QColor(70, 70, 70));
    }
    g.setPen(QPen(QColor(40, 40, 40), 1));
    g.setBrush(grad);
    g.drawEllipse(QRectF(1, 1, s - 2, s - 2));
    return p;
}

QPixmap Clock()
{
    const int s = 16;
    QPixmap p = Blank(s, s);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(30, 60, 140), 1.4));
    g.setBrush(Qt::white);
    g.drawEllipse(QRectF(1.5, 1.5, s - 3, s - 3));
    g.drawLine(QPointF(8, 8), QPointF(8, 4));
    g.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    return p;
}

}  // namespace

QPixmap StatusImages::Image(int index)
{
    switch (index) {
    case kWell: return Disc(QColor(40, 160, 60), QStringLiteral("\u2713"));
    case kFailed: return Disc(QColor(210, 40, 30), QStringLiteral("\u2715"));
    case kWarning: return WarningSign();
    case kNotReady: return Disc(QColor(130, 130, 130), QStringLiteral("?"));
    case 4: case 5: case 6: case 7: return Battery(index - 3);
    case kLedDark: return Led(false);
    case kLedLit: return Led(true);
    case kTimed: return Clock();
    default: return {};
    }
}

// Eight dots on a circle; the bright one walks round.
QPixmap StatusImages::Frame(int n)
{
    const int s = 24;
    QPixmap p = Blank(s, s);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 - M_PI / 2;
        const int age = ((n - i) % 8 + 8) % 8;  // 0 is the current dot
        g.setBrush(QColor(30, 90, 170, age == 0 ? 255 : age == 1 ? 160 : age == 2 ? 90 : 40));
        g.drawEllipse(QPointF(s / 2.0 + 8 * std::cos(a), s / 2.0 + 8 * std::sin(a)), 2.4, 2.4);
    }
    return p;
}

}  // namespace pelix
