#include "search/searchwidgets.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMessageBox>

#include "search/nearby.h"

namespace urbica {

void SearchEnv::message(QWidget* parent, const QString& text) const {
    QStringList lines;
    if (!text.isEmpty()) lines << text;
    if (state) lines << state->problems.take();
    if (lines.isEmpty()) return;
    if (showMessage) {
        showMessage(lines.join(QLatin1Char('\n')));
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    lines.join(QLatin1Char('\n')), QMessageBox::Ok, parent);
    box.exec();
}

void SearchEnv::letEventsRun() const {
    if (pumpEvents)
        pumpEvents();
    else
        QCoreApplication::processEvents();
}

void SearchEnv::showFound(int classNumber, int32_t record) const {
    markFoundObject(state->settings, state->marksList, classNumber, record);
    if (show) show(classNumber, record);
}

void SearchEnv::showItem(qint64 data) const {
    int layer = 0;
    int32_t object = 0;
    if (decodeMapObjectItem(data, layer, object)) {
        if (state->settings.remselfind == 1) state->marksList.clear();
        if (showMapObject) showMapObject(layer, object);
        return;
    }
    const NamedObject o = decodeItemKey(data);
    showFound(o.classNumber, o.record);
}

double SearchEnv::viewCentreX() const {
    return double(state->view.viewLeft) + double(state->view.viewWidth) / 2;
}
double SearchEnv::viewCentreY() const {
    return double(state->view.viewTop) + double(state->view.viewHeight) / 2;
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

ModelListView::ModelListView(ListModel& model, QWidget* parent) : QListView(parent), model_(model) {
    setModel(&model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                model_.setCurrentIndex(current.isValid() ? current.row() : -1);
            });
    connect(&model, &ListModel::currentIndexChanged, this, &ModelListView::followModel);
    connect(&model, &ListModel::visibleChanged, this, &QWidget::setVisible);
    // A reset drops the view's selection; take the model's current entry again.
    connect(&model, &QAbstractItemModel::modelReset, this,
            [this] { followModel(model_.currentIndex()); });
    setVisible(model.isVisible());
    followModel(model.currentIndex());
}

void ModelListView::followModel(int index) {
    if (index < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex mi = model_.index(index);
    if (selectionModel()->currentIndex() != mi || !selectionModel()->isSelected(mi))
        selectionModel()->setCurrentIndex(mi, QItemSelectionModel::ClearAndSelect);
    scrollTo(mi);
}

void ModelListView::selectAtTop(int i) {
    if (i < 0 || i >= model_.count()) return;
    model_.setCurrentIndex(i);
    scrollTo(model_.index(i), QAbstractItemView::PositionAtTop);
}

void ModelListView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        // What any key does first (the street list copies its street), then the choice.
        Q_EMIT keyPressed(e->key());
        Q_EMIT chosen();
        return;
    }
    QListView::keyPressEvent(e);
    Q_EMIT keyPressed(e->key());
}

void ModelListView::mousePressEvent(QMouseEvent* e) {
    QListView::mousePressEvent(e);
    Q_EMIT mousePressed();
}

void ModelListView::mouseDoubleClickEvent(QMouseEvent* e) {
    QListView::mouseDoubleClickEvent(e);
    if (indexAt(e->position().toPoint()).isValid()) Q_EMIT chosen();
}

}  // namespace urbica
