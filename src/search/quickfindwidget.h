// The quick find strip of the main window: a text box, "Найти", a result
// list kept in alphabetical order and "<-- Показать". The window owns the
// controls; this object gives them their behaviour.
#pragma once

#include <QObject>

#include "search/searchwidgets.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace urbica {

class QuickFind : public QObject {
    Q_OBJECT
public:
    QuickFind(SearchEnv env, QLineEdit* findname, QListWidget* findList, QPushButton* findkey,
              QPushButton* showkey, QObject* parent = nullptr);

    // "Найти": the text in every class with searchable and hasNames set.
    void find();
    // "<-- Показать": the selected entry on the map.
    void showSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    SearchEnv env_;
    QLineEdit* findname_;
    QListWidget* findList_;
    QPushButton* findkey_;
    QPushButton* showkey_;
    ListModel results_{true};
    bool busy_ = false;
};

}  // namespace urbica
