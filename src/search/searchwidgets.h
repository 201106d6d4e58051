// What the search dialogs share: the run state and the ways they reach the
// user and the map, and a list box that shows a ListModel.
#pragma once

#include <QListView>
#include <QString>
#include <functional>
#include <optional>

#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "search/results.h"
#include "view/appstate.h"

namespace urbica {

struct SearchEnv {
    AppState* state = nullptr;
    // Shows the chosen object on the map (centres, names and highlights it).
    ShowNamedObject show;
    // A modal message with an OK button; empty: a message box.
    std::function<void(const QString&)> showMessage;
    // Lets pending events run during long fills; empty: the application's event loop.
    std::function<void()> pumpEvents;
    // Shows a map object without a name (a place found by its kind).
    std::function<void(int layer, int32_t object)> showMapObject;
    // The house search's street list made ahead of time, if any (taken once).
    std::function<std::optional<StreetListEntries>()> takeStreets;

    NameContext names() const { return state->names(); }
    // Shows text in one message with the damaged files noted since the last
    // one (see DatasetProblems); nothing when both are empty.
    void message(QWidget* parent, const QString& text) const;
    // The damaged files noted since the last message, in one message.
    void reportProblems(QWidget* parent) const { message(parent, {}); }
    void letEventsRun() const;
    // Applies the marks options and shows the object.
    void showFound(int classNumber, int32_t record) const;
    // The same for a list entry's item data: an itemKey, or a map object
    // without a name (mapObjectItemData), which no mark can keep: the marks
    // are only emptied when remselfind is 1.
    void showItem(qint64 data) const;
    // The centre of the map's view, map units, where the places of a kind are measured from.
    double viewCentreX() const;
    double viewCentreY() const;
};

// The hourglass while an object lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A list box over a ListModel: the current entry and the shown state follow
// the model both ways. Enter and a double click choose the current entry.
class ModelListView : public QListView {
    Q_OBJECT
public:
    ModelListView(ListModel& model, QWidget* parent = nullptr);
    ListModel& list() { return model_; }
    // Makes entry i current and scrolls it to the top of the box.
    void selectAtTop(int i);

Q_SIGNALS:
    void chosen();
    // After a key or a mouse press was handled (the current entry already moved);
    // Enter too, before chosen.
    void keyPressed(int key);
    void mousePressed();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void followModel(int index);
    ListModel& model_;
};

}  // namespace urbica
