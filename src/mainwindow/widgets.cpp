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
    }
    QFrame::paintEvent(e);  // the border
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

}  // namespace urbica
