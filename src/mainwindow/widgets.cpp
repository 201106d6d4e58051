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
        if (!picture_.isNull()) {
            p.setClipRect(inner);
            p.drawImage(inner.topLeft(), picture_);
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
