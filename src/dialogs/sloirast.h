// The layer order dialog sloirast: tab "Рисование" orders the layers for
// drawing and switches them on and off, tab "Опознавание" does the same for
// the search under the pointer. Nothing reaches the tables before "Запомнить".
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "view/layerorder.h"

class QListWidget;
class QPushButton;
class QTabWidget;

namespace urbica {

class LayerOrderDialog : public QDialog {
    Q_OBJECT
public:
    explicit LayerOrderDialog(Tables& tables, QWidget* parent = nullptr);

    // -1 once "Запомнить" has written the lists into the tables, else 0.
    int16_t dialogAccepted() const { return dialogAccepted_; }

    // The lists as they stand in the dialog.
    LayerOrderList drawingList() const;
    LayerOrderList pickingList() const;

    QTabWidget* SSTab1 = nullptr;
    QListWidget* sloiList = nullptr;
    QListWidget* selectList = nullptr;
    QPushButton* risupkey = nullptr;
    QPushButton* risdnkey = nullptr;
    QPushButton* detupkey = nullptr;
    QPushButton* detdnkey = nullptr;
    QPushButton* closekey = nullptr;
    QPushButton* cancelkey = nullptr;

private:
    void moveCurrent(QListWidget* list, bool down);
    void store();

    Tables& tables_;
    int16_t dialogAccepted_ = 0;
};

// "Настройка" → "Слои": the dialog, and after "Запомнить" the tables written
// back, the overview rebuilt and the map rendered for the same view. True
// when the order was stored; a table file that could not be written is
// reported through message (the new order applies all the same).
bool layerOrderCommand(QWidget* parent, AppState& s, MapBoxes& boxes, const ViewHooks& hooks,
                       const std::function<void(const QString&)>& message);

}  // namespace urbica
