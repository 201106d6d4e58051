// Small widgets of the main window: the picture box that shows the map and
// the overview, and the clickable info line.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLineEdit>

namespace urbica {

// A box with a 2-pixel border that shows one picture on its background
// colour; its inner size is the outer size less 4 in each direction.
class PictureWidget : public QFrame {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr);

    void setPicture(const QImage& image);
    const QImage& picture() const { return picture_; }
    void setBackground(const QColor& c);
    QColor background() const { return background_; }
    QSize innerSize() const { return contentsRect().size(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
    QColor background_ = Qt::white;
};

// The read-only info line; a click on it is reported.
class InfoLine : public QLineEdit {
    Q_OBJECT
public:
    explicit InfoLine(QWidget* parent = nullptr);
    void setTextColor(const QColor& c);

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace urbica
