#include "imagelists.h"

#include <QPainter>
#include <QPainterPath>

namespace pelix {

namespace {

QPixmap Blank(int size = ImageLists::kGlyph)
{
    QPixmap p(size, size);
    p.fill(Qt::transparent);
    return p;
}

QPixmap CheckMark()
{
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(0, 120, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    return p;
}

QPixmap Marker()
{
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(200, 40, 40));
    g.drawPolygon(QPolygonF({QPointF(4, 3), QPointF(12, 8), QPointF(4, 13)}));
    return p;
}

// A contact drawn as two terminals and a blade: open (normally open) or
// touching the right terminal (normally closed).
QPixmap Contact(bool closed, const QColor& colour)
{
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(1, 11), QPointF(4, 11));
    g.drawLine(QPointF(12, 11), QPointF(15, 11));
    g.setBrush(colour);
    g.drawEllipse(QPointF(4, 11), 1.2, 1.2);
    g.drawEllipse(QPointF(12, 11), 1.2, 1.2);
    if (closed) g.drawLine(QPointF(4, 11), QPointF(12.5, 9.5));
    else g.drawLine(QPointF(4, 11), QPointF(11, 4));
    return p;
}

QPixmap Letter(const QString& text, const QColor& back)
{
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(back);
    g.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont f = g.font();
    f.setPixelSize(10);
    f.setBold(true);
    g.setFont(f);
    g.setPen(Qt::white);
    g.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
    return p;
}

}  // namespace

QPixmap ImageLists::ImageList2(int index) { return index == 0 ? CheckMark() : Marker(); }

QPixmap ImageLists::ImageList4(int index)
{
    switch (index) {
    case 0: return Contact(false, Qt::black);
    case 1: return Contact(true, Qt::black);
    case 2: return Contact(false, QColor(0, 70, 160));
    default: return Contact(true, QColor(0, 70, 160));
    }
}

QPixmap ImageLists::TreeImage(int index)
{
    switch (index) {
    case 1: return Letter(QStringLiteral("T"), QColor(40, 110, 190));   // phone numbers
    case 2: return Letter(QStringLiteral("V"), QColor(120, 80, 170));   // voice dialer
    case 3: return Letter(QStringLiteral("S"), QColor(30, 140, 120));   // SMS and inputs
    case 4: return Letter(QStringLiteral("O"), QColor(200, 120, 20));   // outputs
    case 5: return Letter(QStringLiteral("C"), QColor(90, 90, 90));     // calls
    case 6: return Letter(QStringLiteral("!"), QColor(190, 50, 50));    // status
    case 7: return Letter(QStringLiteral("D"), QColor(20, 90, 140));    // communicator, GPRS
    default: return Letter(QStringLiteral("P"), QColor(60, 60, 120));   // the model
    }
}

}  // namespace pelix
