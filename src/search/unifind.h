// The universal search dialog unifind ("Универсальный поиск"): a text
// search over the chosen classes, or every name of one class to pick from.
// It is made afresh for each use.
#pragma once

#include <QDialog>
#include <atomic>

#include "search/searchwidgets.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace urbica {

class UnifindDialog : public QDialog {
    Q_OBJECT
public:
    explicit UnifindDialog(SearchEnv env, QWidget* parent = nullptr);
    ~UnifindDialog() override;

    // findmode: false = "По контексту", true = "По списку".
    void setListMode(bool list);
    bool listMode() const;
    void find();       // "Найти"
    void fillList();   // the chosen class's names (list mode)
    void showFound();  // "Показать"

    ListModel& results() { return found_; }
    ListModel& numericResults() { return numeric_; }

    QLabel* Label1 = nullptr;
    QLineEdit* findname = nullptr;
    QRadioButton* findmode[2] = {nullptr, nullptr};
    QListWidget* sloiList = nullptr;
    QComboBox* sloibox = nullptr;
    QCheckBox* firstword = nullptr;
    ModelListView* findList = nullptr;
    ModelListView* nosortList = nullptr;
    QPushButton* findkey = nullptr;
    QPushButton* showkey = nullptr;
    QPushButton* closekey = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void fillClassLists();
    void positionWhileTyping(const QString& typed);

    SearchEnv env_;
    ListModel found_{true};
    ListModel numeric_{false};
    bool busy_ = false;
    std::atomic<bool> cancel_{false};
};

}  // namespace urbica
