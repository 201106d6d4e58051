#include "mainwindow/toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace urbica {

namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 180);
const QColor kRed(200, 30, 30);

void magnifier(QPainter& p, QPointF centre, double r) {
    p.setPen(QPen(kInk, 2.0));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(centre, r, r);
    p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
    const double d = r * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + r * 0.8, d + r * 0.8));
}

void house(QPainter& p, QRectF r) {
    QPainterPath roof;
    roof.moveTo(r.left(), r.top() + r.height() * 0.45);
    roof.lineTo(r.center().x(), r.top());
    roof.lineTo(r.right(), r.top() + r.height() * 0.45);
    roof.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kRed);
    p.drawPath(roof);
    QRectF body(r.left() + r.width() * 0.15, r.top() + r.height() * 0.45, r.width() * 0.7,
                r.height() * 0.55);
    p.setBrush(QColor(245, 225, 170));
    p.drawRect(body);
    p.setBrush(kBlue);
    p.drawRect(QRectF(body.center().x() - r.width() * 0.1, body.bottom() - body.height() * 0.6,
                      r.width() * 0.2, body.height() * 0.6));
}

void arrow(QPainter& p, double s, bool left) {
    QPainterPath a;
    const double y = s / 2;
    if (left) {
        a.moveTo(3, y);
        a.lineTo(s * 0.5, 4);
        a.lineTo(s * 0.5, y - 3.5);
        a.lineTo(s - 3, y - 3.5);
        a.lineTo(s - 3, y + 3.5);
        a.lineTo(s * 0.5, y + 3.5);
        a.lineTo(s * 0.5, s - 4);
    } else {
        a.moveTo(s - 3, y);
        a.lineTo(s * 0.5, 4);
        a.lineTo(s * 0.5, y - 3.5);
        a.lineTo(3, y - 3.5);
        a.lineTo(3, y + 3.5);
        a.lineTo(s * 0.5, y + 3.5);
        a.lineTo(s * 0.5, s - 4);
    }
    a.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(60, 150, 60));
    p.drawPath(a);
}

void metroLetter(QPainter& p, QRectF r) {
    QFont f(QStringLiteral("Sans"));
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.8));
    p.setFont(f);
    p.setPen(kRed);
    p.drawText(r, Qt::AlignCenter, QStringLiteral("М"));
}

// Arrows to the four sides: the pan tool.
void moveCross(QPainter& p) {
    p.setPen(QPen(kInk, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 3), QPointF(12, 21));
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const QPointF tips[4][3] = {{{12, 1}, {8, 6}, {16, 6}},
                                {{12, 23}, {8, 18}, {16, 18}},
                                {{1, 12}, {6, 8}, {6, 16}},
                                {{23, 12}, {18, 8}, {18, 16}}};
    for (const auto& t : tips) p.drawPolygon(t, 3);
}

void bookmarkRibbon(QPainter& p) {
    QPainterPath b;
    b.moveTo(6, 2);
    b.lineTo(18, 2);
    b.lineTo(18, 22);
    b.lineTo(12, 16);
    b.lineTo(6, 22);
    b.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(230, 170, 20));
    p.drawPath(b);
}

void printer(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 2, 10, 8));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 15, 12, 7));
    p.setPen(QPen(kInk, 1.0));
    p.drawLine(QPointF(8, 18), QPointF(16, 18));
    p.drawLine(QPointF(8, 20), QPointF(14, 20));
}

// Three crossing lines with their stations.
void metroMap(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRed, 2.5));
    p.drawLine(QPointF(2, 19), QPointF(22, 5));
    p.setPen(QPen(kBlue, 2.5));
    p.drawLine(QPointF(2, 6), QPointF(22, 18));
    p.setPen(QPen(QColor(40, 150, 40), 2.5));
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    for (QPointF c : {QPointF(12, 12), QPointF(5, 7.8), QPointF(19, 7.1)})
        p.drawEllipse(c, 2.2, 2.2);
}

// A yellow rule laid slantwise, with its marks.
void ruler(QPainter& p) {
    p.translate(12, 12);
    p.rotate(-35);
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(250, 210, 60));
    p.drawRect(QRectF(-10, -3.5, 20, 7));
    for (int i = -8; i <= 8; i += 2)
        p.drawLine(QPointF(i, -3.5), QPointF(i, i % 4 == 0 ? 0.5 : -1));
}

}  // namespace

QImage toolbarGlyph(const QString& key, int px) {
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(px / 24.0, px / 24.0);
    const double s = 24;

    if (key == QLatin1String("fragment")) {
        p.setPen(QPen(kRed, 2.0, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4, 5, 16, 14));
    } else if (key == QLatin1String("foward") || key == QLatin1String("backward")) {
        p.setPen(QPen(kBlue, 4.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 12), QPointF(19, 12));
        if (key == QLatin1String("foward")) p.drawLine(QPointF(12, 5), QPointF(12, 19));
    } else if (key == QLatin1String("moved")) {
        moveCross(p);
    } else if (key == QLatin1String("tometro")) {
        p.setPen(QPen(kRed, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
        metroLetter(p, QRectF(2, 3, 20, 18));
    } else if (key == QLatin1String("tonew")) {
        house(p, QRectF(3, 3, 18, 18));
    } else if (key == QLatin1String("downstek")) {
        arrow(p, s, true);
    } else if (key == QLatin1String("upstek")) {
        arrow(p, s, false);
    } else if (key == QLatin1String("bookmark")) {
        bookmarkRibbon(p);
    } else if (key == QLatin1String("print")) {
        printer(p);
    } else if (key == QLatin1String("finddom")) {
        house(p, QRectF(1, 1, 15, 15));
        magnifier(p, QPointF(15, 15), 4.5);
    } else if (key == QLatin1String("metro")) {
        metroMap(p);
    } else if (key == QLatin1String("unifind")) {
        magnifier(p, QPointF(10, 10), 6.5);
    } else if (key == QLatin1String("ruler")) {
        ruler(p);
    }
    p.end();
    return img;
}

QIcon toolbarIcon(const QString& key) {
    QIcon icon;
    for (int px : {16, 24, 32, 48}) icon.addPixmap(QPixmap::fromImage(toolbarGlyph(key, px)));
    return icon;
}

}  // namespace urbica
