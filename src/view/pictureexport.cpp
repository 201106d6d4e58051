#include "view/pictureexport.h"

#include <QBuffer>
#include <QPainter>
#include <cmath>

#include "dataset/datafile.h"
#include "dataset/numbers.h"
#include "dataset/settings.h"
#include "draw/mapnotice.h"
#include "draw/picturebox.h"

namespace urbica {

QString exportFilter() {
    return message(QStringLiteral("urbica"), 29, QStringLiteral("Рисунок BMP")) +
           QStringLiteral(" (*.bmp);;") +
           message(QStringLiteral("urbica"), 30, QStringLiteral("Все файлы")) +
           QStringLiteral(" (*)");
}

QString exportErrorText() {
    return message(QStringLiteral("urbica"), 21,
                   QStringLiteral("Неправильное имя файла или не правильный путь"));
}

QString exportFileName(const QString& chosen) {
    if (chosen.trimmed().isEmpty()) return QString();
    if (chosen.right(4).toLower() == QLatin1String(".bmp")) return chosen;
    return chosen + QLatin1String(".bmp");
}

QRect exportPixelRect(const QRectF& frame, const ViewState& v) {
    if (!(v.unitsPerPixel > 0)) return QRect();
    const QRectF r = frame.normalized();
    const double u = v.unitsPerPixel;
    const double x = nearest((r.left() - v.viewLeft) / u);
    const double y = nearest((r.top() - v.viewTop) / u);
    const double w = nearest(r.width() / u);
    const double h = nearest(r.height() / u);
    // A rectangle far outside any screen is no rectangle of the map picture.
    constexpr double kLimit = 1 << 20;
    if (!(std::fabs(x) < kLimit && std::fabs(y) < kLimit && w < kLimit && h < kLimit))
        return QRect();
    return QRect(int(x), int(y), int(w), int(h));
}

QImage pictureCutOut(const QImage& picture, const QRect& pixels) {
    constexpr int kMaxSide = 32767;
    if (pixels.width() <= 0 || pixels.height() <= 0 || pixels.width() > kMaxSide ||
        pixels.height() > kMaxSide)
        return QImage();
    // In the picture's device pixels when it has more than one a pixel.
    const double r = picture.isNull() ? 1 : picture.devicePixelRatio();
    const QRect device = r == 1 ? pixels
                                : QRect((QPointF(pixels.topLeft()) * r).toPoint(),
                                        (QSizeF(pixels.size()) * r).toSize());
    QImage out(device.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(r);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), picture, device);
    return out;
}

QImage pictureWithNotice(const QImage& picture, const QString& notice) {
    if (notice.isEmpty() || picture.isNull()) return picture;
    PictureBox box(picture.width() + 2 * PictureBox::kBorder,
                   picture.height() + 2 * PictureBox::kBorder);
    box.image() = picture.convertToFormat(box.image().format());
    drawMapNotice(box, notice, picture.width(), picture.height());
    return box.image();
}

bool savePictureBmp(const QImage& picture, const QString& path, QString* error) {
    if (picture.isNull()) {
        if (error) *error = QStringLiteral("нет картинки");
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP")) {
        if (error) *error = QStringLiteral("картинка не переводится в BMP");
        return false;
    }
    return writeFileAtomically(path, bytes, error);
}

}  // namespace urbica
