// Small widgets of the main window: the picture box that shows the map and
// the overview, and the clickable info line.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <vector>

#include "view/mapboxes.h"
#include "view/ruler.h"

namespace urbica {

// A box with a 2-pixel border that shows one picture on its background
// colour; its inner size is the outer size less 4 in each direction.
class PictureWidget : public QFrame {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr);

    void setPicture(const QImage& image);
    const QImage& picture() const { return box_ ? box_->image() : picture_; }
    // Shows the picture of a box, which outlives this widget's use of it.
    void setBox(const PictureBox* box) {
        box_ = box;
        update();
    }
    // A rectangle in the box's map units drawn over the picture (the view frame).
    void setFrame(const FrameShape* frame, QColor colour, int width) {
        frames_.clear();
        addFrame(frame, colour, width);
    }
    // One more rectangle, drawn after the others (a rubber band).
    void addFrame(const FrameShape* frame, QColor colour, int width) {
        if (frame) frames_.push_back({frame, colour, width});
        update();
    }
    // The ruler's line drawn over the picture (null: none).
    void setRuler(const Ruler* ruler) {
        ruler_ = ruler;
        update();
    }
    // The box whose picture is shown (null: the picture set with setPicture).
    const PictureBox* box() const { return box_; }
    // A point of the widget in the map units of the box's coordinate system.
    QPointF toMapUnits(const QPointF& widgetPos) const;
    void setBackground(const QColor& c);
    QColor background() const { return background_; }
    QSize innerSize() const { return contentsRect().size(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage picture_;
    const PictureBox* box_ = nullptr;
    struct Frame {
        const FrameShape* shape;
        QColor colour;
        int width;
    };
    std::vector<Frame> frames_;
    const Ruler* ruler_ = nullptr;
    QColor background_ = Qt::white;
    void paintRuler(QPainter& p, const QRect& inner) const;
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

// The handle between the map and the side panel (overview and quick find):
// dragged to the left, the panel widens. It reports the distance dragged
// since the press; the window lays itself out on release.
class SideSplitter : public QWidget {
    Q_OBJECT
public:
    explicit SideSplitter(QWidget* parent = nullptr);

Q_SIGNALS:
    void moved(int dx);     // the pointer's distance from the press, to the right
    void released(int dx);  // the same when the button is let go

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int pressX_ = 0;
    bool pressed_ = false;
};

}  // namespace urbica
