// The house search dialog searchdom ("Поиск дома") and its question nodom.
// The main window keeps one searchdom for the whole run: it is only hidden
// when closed, so its lists and typed fields stay as the user left them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

#include "search/houses.h"
#include "search/searchwidgets.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace urbica {

// noHouseChoice: which answer the user gave to nodom.
enum NoHouseChoice : int16_t { kNoHouseCancel = 0, kNoHouseNearest = 1, kNoHouseAll = 2 };

// "Не найдено ни одного дома": list all houses of the street or the nearest ones.
class NoDomDialog : public QDialog {
    Q_OBJECT
public:
    explicit NoDomDialog(QWidget* parent = nullptr);
    int16_t noHouseChoice() const { return choice_; }

    QLabel* Label1 = nullptr;
    QPushButton* allonstreet = nullptr;
    QPushButton* blij = nullptr;
    QPushButton* cancelkey = nullptr;

private:
    void choose(int16_t choice);
    int16_t choice_ = kNoHouseCancel;
};

class SearchDomDialog : public QDialog {
    Q_OBJECT
public:
    // Builds the street list and its first-letter index (the dialog's load).
    explicit SearchDomDialog(SearchEnv env, QWidget* parent = nullptr);

    // Asked when no house matches; empty: the nodom dialog.
    std::function<int16_t()> askNoHouse;

    // findmode: false = "По списку", true = "По контексту".
    void setContextMode(bool context);
    bool contextMode() const;
    // The commands of the buttons.
    void findStreet();  // "Найти улицу"
    void findHouse();   // "Найти дом"
    void showHouse();   // "Показать дом"
    void showStreet();  // "Показать улицу"

    const FirstLetterIndex& firstLetterIndex() const { return firstLetterIndex_; }
    ListModel& streets() { return streets_; }
    ListModel& foundStreets() { return foundStreets_; }
    ListModel& houses() { return houses_; }

    QRadioButton* findmode[2] = {nullptr, nullptr};
    QLineEdit* findname = nullptr;
    ModelListView* streetlist = nullptr;
    ModelListView* findstreetList = nullptr;
    QPushButton* findstreetkey = nullptr;
    QPushButton* showstreetkey = nullptr;
    QLineEdit* domnom = nullptr;
    QLineEdit* dombykv = nullptr;
    QLineEdit* domdrob = nullptr;
    QLineEdit* domkor = nullptr;
    QPushButton* findkey = nullptr;
    ModelListView* findList = nullptr;
    QPushButton* showkey = nullptr;
    QPushButton* cancelkey = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void makeStreetControls();
    void makeHouseControls();
    void layOutControls();
    void loadStreets();
    void positionStreet(const QString& typed);
    void takeStreetText(bool clearHouses);
    // The street record of the current list entry, 0 for none.
    int32_t currentStreet() const;
    bool streetClassInTable() const;
    void listHouses(const std::vector<HouseEntry>& all, const std::vector<size_t>& which);
    int16_t askWhenNoHouse();

    SearchEnv env_;
    ListModel streets_{true};
    ListModel foundStreets_{false};
    ListModel houses_{false};
    FirstLetterIndex firstLetterIndex_;
    bool busy_ = false;
};

}  // namespace urbica
