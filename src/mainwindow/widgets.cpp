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
        if (box_ && frame_ && frame_->visible && box_->scaleWidth() != 0) {
            const QRectF r(inner.left() + box_->toPixelX(frame_->left),
                           inner.top() + box_->toPixelY(frame_->top),
                           frame_->width * box_->xFactor(), frame_->height * box_->yFactor());
            QPen pen(frameColour_, frameWidth_);
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
