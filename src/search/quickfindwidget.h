// The quick find strip of the main window: a text box, "Найти", a result
// list kept in alphabetical order and "<-- Показать". The window owns the
// controls; this object gives them their behaviour. The list is also
// refreshed while the user types, a moment after the last key.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>

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

    // The pause after the last key before the list is refreshed, and the
    // shortest text refreshed so (a single letter names most of a city).
    static constexpr int kTypingPauseMs = 150;
    static constexpr int kTypingMinLength = 2;
    // True while a refresh is waiting for the typing to pause.
    bool refreshPending() const { return typing_.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    enum class Mode { Asked, Typing };
    void run(Mode mode);
    void textEdited();

    SearchEnv env_;
    QLineEdit* findname_;
    QListWidget* findList_;
    QPushButton* findkey_;
    QPushButton* showkey_;
    ListModel results_{true};
    bool busy_ = false;
    QTimer typing_;
    // Set by a key that arrives while a refresh runs: that search stops.
    std::atomic<bool> cancel_{false};
    bool askAfter_ = false;  // Enter came while a refresh ran
};

}  // namespace urbica
