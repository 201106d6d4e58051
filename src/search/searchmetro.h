// The metro station search dialog searchmetro ("Поиск станции метро"): every
// station to pick from by typing, or the stations whose name holds a text.
// It is made afresh for each use.
#pragma once

#include <QDialog>

#include "search/searchwidgets.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace urbica {

class SearchMetroDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchMetroDialog(SearchEnv env, QWidget* parent = nullptr);

    // listfind ticked: every station; not ticked: search by text.
    void setListMode(bool list);
    bool listMode() const;
    void find();         // "Найти"
    void showStation();  // "Показать"

    ListModel& stations() { return stations_; }

    QLabel* Label1 = nullptr;
    QLineEdit* findname = nullptr;
    QCheckBox* listfind = nullptr;
    ModelListView* metrolist = nullptr;
    QPushButton* findkey = nullptr;
    QPushButton* showkey = nullptr;
    QPushButton* closekey = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    SearchEnv env_;
    ListModel stations_{true};
    bool busy_ = false;
};

}  // namespace urbica
