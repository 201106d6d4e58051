#include "mainwindow/widgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace urbica {

PictureWidget::PictureWidget(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::setPicture(const QImage& image) {
    picture_ = image;
    update();
}

QPointF PictureWidget::toMapUnits(const QPointF& pos) const {
    const QRect inner = contentsRect();
    if (!box_ || box_->xFactor() == 0 || box_->yFactor() == 0) return {};
    return {box_->scaleLeft() + (pos.x() - inner.left()) / box_->xFactor(),
            box_->scaleTop() + (pos.y() - inner.top()) / box_->yFactor()};
}

void PictureWidget::setBackground(const QColor& c) {
    background_ = c;
    update();
}

void PictureWidget::paintEvent(QPaintEvent* e) {
    {
        QPainter p(this);
        const QRect inner = contentsRect();
        p.fillRect(inner, background_);
        const QImage& picture = box_ ? box_->image() : picture_;
        p.setClipRect(inner);
        if (!picture.isNull()) p.drawImage(inner.topLeft(), picture);
        for (const Frame& f : frames_) {
            if (!box_ || !f.shape->visible || box_->scaleWidth() == 0) continue;
            const QRectF r(inner.left() + box_->toPixelX(f.shape->left),
                           inner.top() + box_->toPixelY(f.shape->top),
                           f.shape->width * box_->xFactor(), f.shape->height * box_->yFactor());
            QPen pen(f.colour, f.width);
            pen.setJoinStyle(Qt::MiterJoin);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
        }
        paintRuler(p, inner);
    }
    QFrame::paintEvent(e);  // the border
}

// Drawn over the picture like the rubber bands, so the next paint wipes it.
void PictureWidget::paintRuler(QPainter& p, const QRect& inner) const {
    if (!ruler_ || !ruler_->active || !box_ || box_->scaleWidth() == 0 || ruler_->points.empty())
        return;
    auto pixel = [&](QPointF m) {
        return QPointF(inner.left() + box_->toPixelX(m.x()), inner.top() + box_->toPixelY(m.y()));
    };
    QPolygonF line;
    for (QPointF m : ruler_->points) line << pixel(m);
    if (ruler_->pointer) line << pixel(*ruler_->pointer);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 200), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(line);
    p.setPen(QPen(QColor(200, 0, 120), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(line);
    p.setBrush(Qt::white);
    for (QPointF m : ruler_->points) p.drawEllipse(pixel(m), 3.5, 3.5);
    p.setRenderHint(QPainter::Antialiasing, false);
}

InfoLine::InfoLine(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void InfoLine::setTextColor(const QColor& c) {
    QPalette pal = palette();
    if (pal.color(QPalette::Text) == c) return;
    pal.setColor(QPalette::Text, c);
    setPalette(pal);
}

void InfoLine::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        e->accept();
        Q_EMIT clicked();
        return;
    }
    QLineEdit::mousePressEvent(e);
}

SideSplitter::SideSplitter(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitHCursor);
    setToolTip(QStringLiteral("Потяните, чтобы изменить ширину панели"));
}

void SideSplitter::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pressed_ = true;
    pressX_ = int(e->globalPosition().x());
}

void SideSplitter::mouseMoveEvent(QMouseEvent* e) {
    if (pressed_) Q_EMIT moved(int(e->globalPosition().x()) - pressX_);
}

void SideSplitter::mouseReleaseEvent(QMouseEvent* e) {
    if (!pressed_ || e->button() != Qt::LeftButton) return;
    pressed_ = false;
    Q_EMIT released(int(e->globalPosition().x()) - pressX_);
}

void SideSplitter::paintEvent(QPaintEvent*) {
    // Only while it is dragged is the handle seen, as a line where the
    // panel's edge will be.
    if (!pressed_) return;
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Mid));
}

}  // namespace urbica
