#include "search/quickfindwidget.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <optional>

#include "dataset/settings.h"
#include "search/addresswords.h"
#include "search/nearby.h"
#include "search/quickaddress.h"
#include "search/quickfind.h"

namespace urbica {

QuickFind::QuickFind(SearchEnv env, QLineEdit* findname, QListWidget* findList,
                     QPushButton* findkey, QPushButton* showkey, QObject* parent)
    : QObject(parent),
      env_(std::move(env)),
      findname_(findname),
      findList_(findList),
      findkey_(findkey),
      showkey_(showkey) {
    results_.setPendingEvents([this] { env_.letEventsRun(); });
    findname_->setToolTip(QStringLiteral("Здесь вводится текст для быстрого поиска"));
    findkey_->setText(QStringLiteral("Найти"));
    findkey_->setToolTip(QStringLiteral("Найти объекты по данным условиям поиска"));
    findList_->setToolTip(QStringLiteral("Результаты поиска"));
    showkey_->setText(QStringLiteral("<-- Показать"));
    showkey_->setToolTip(QStringLiteral("Вывести результат поиска на карту"));
    findList_->setUniformItemSizes(true);
    connect(findkey_, &QPushButton::clicked, this, &QuickFind::find);
    connect(showkey_, &QPushButton::clicked, this, &QuickFind::showSelected);
    connect(findList_, &QListWidget::itemDoubleClicked, this, &QuickFind::showSelected);
    findname_->installEventFilter(this);
    findList_->installEventFilter(this);
    typing_.setSingleShot(true);
    typing_.setInterval(kTypingPauseMs);
    connect(&typing_, &QTimer::timeout, this, [this] { run(Mode::Typing); });
    connect(findname_, &QLineEdit::textEdited, this, &QuickFind::textEdited);
}

void QuickFind::find() {
    typing_.stop();
    run(Mode::Asked);
}

void QuickFind::textEdited() {
    // A search still running for the text before is given up; the new text
    // is looked for once the typing pauses.
    if (busy_) cancel_ = true;
    typing_.start();
}

// Asked ("Найти", Enter): messages when nothing is found or a file cannot be
// read, and the list gets the focus. Typing: the list is refreshed quietly and
// the focus stays in the box; a search overtaken by a key leaves the list.
void QuickFind::run(Mode mode) {
    const bool typing = mode == Mode::Typing;
    if (busy_) {
        // Again after the search that runs; Enter gives up a refresh for its own search.
        if (typing) {
            typing_.start();
        } else {
            cancel_ = true;
            askAfter_ = true;
        }
        return;
    }
    const QString text = findname_->text().trimmed();
    if (text.isEmpty() || (typing && text.size() < kTypingMinLength)) return;
    busy_ = true;
    cancel_ = false;
    QString error;
    FillStatus status;
    {
        std::optional<BusyCursor> busy;
        if (!typing) busy.emplace();
        showkey_->setEnabled(false);
        env_.letEventsRun();
        // An address lists its houses first, a kind of place ("аптека") the
        // nearest ones, then come the names that hold the text, then those
        // one typo away.
        QString addressError;
        const std::vector<ListModel::Item> houses =
            quickFindAddresses(env_.names(), text, &addressError);
        const std::vector<ListModel::Item> places =
            nearbyItems(env_.names(), findNearby(env_.names(), text, env_.viewCentreX(),
                                                 env_.viewCentreY(), kNearbyListLimit));
        status =
            cancel_ ? FillStatus::Cancelled
                    : findByText(env_.names(), text, results_, quickFindClasses(env_.state->tables),
                                 &cancel_, &error, TextMatch::Anywhere, true, nameSpellings(text));
        if (status != FillStatus::Failed && houses.empty() && !addressError.isEmpty()) {
            status = FillStatus::Failed;
            error = addressError;
        }
        if (status != FillStatus::Cancelled) {
            findList_->setUpdatesEnabled(false);
            findList_->clear();
            for (const auto* part : {&houses, &places})
                for (const ListModel::Item& found : *part) {
                    auto* item = new QListWidgetItem(found.text);
                    item->setData(Qt::UserRole, found.data);
                    findList_->addItem(item);
                }
            for (int i = 0; i < results_.count(); ++i) {
                auto* item = new QListWidgetItem(results_.text(i));
                item->setData(Qt::UserRole, results_.itemData(i));
                findList_->addItem(item);
            }
            if (findList_->count() > 0) findList_->setCurrentRow(0);
            findList_->setUpdatesEnabled(true);
        }
    }
    busy_ = false;
    showkey_->setEnabled(findList_->count() > 0);
    if (askAfter_) {
        askAfter_ = false;
        QTimer::singleShot(0, this, &QuickFind::find);
        return;
    }
    if (typing) return;
    if (status == FillStatus::Failed) env_.message(findList_->window(), error);
    if (findList_->count() == 0) {
        if (status != FillStatus::Failed)
            env_.message(findList_->window(),
                         message(QStringLiteral("urbica"), 8,
                                 QStringLiteral("Не найдено ни одного объекта")));
    } else {
        findList_->setFocus();
    }
    env_.reportProblems(findList_->window());
}

void QuickFind::showSelected() {
    if (busy_) return;
    QListWidgetItem* item = findList_->currentItem();
    if (!item || !item->isSelected()) return;
    env_.showItem(item->data(Qt::UserRole).toLongLong());
}

bool QuickFind::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (watched == findname_) {
                find();
                return true;
            }
            if (watched == findList_) {
                showSelected();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace urbica
