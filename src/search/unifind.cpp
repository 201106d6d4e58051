#include "search/unifind.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "dataset/settings.h"
#include "search/addresswords.h"
#include "search/nearby.h"

namespace urbica {

namespace {

const QString kSection = QStringLiteral("unifind");

// A caption, or its replacement from the message table.
QString caption(int number, const char* builtIn) {
    return message(kSection, number, QString::fromUtf8(builtIn));
}

}  // namespace

UnifindDialog::UnifindDialog(SearchEnv env, QWidget* parent)
    : QDialog(parent), env_(std::move(env)) {
    setObjectName(QStringLiteral("unifind"));
    auto pump = [this] { env_.letEventsRun(); };
    found_.setPendingEvents(pump);
    numeric_.setPendingEvents(pump);
    numeric_.setVisible(false);
    buildControls();
    fillClassLists();
}

UnifindDialog::~UnifindDialog() = default;

void UnifindDialog::buildControls() {
    setWindowTitle(caption(1, "Универсальный поиск"));
    Label1 = new QLabel(caption(2, "Текст для поиска:"), this);
    findname = new QLineEdit(this);
    findname->setObjectName(QStringLiteral("findname"));
    findname->installEventFilter(this);
    connect(findname, &QLineEdit::textChanged, this, &UnifindDialog::positionWhileTyping);

    findmode[0] = new QRadioButton(caption(3, "По контексту"), this);
    findmode[1] = new QRadioButton(caption(4, "По списку"), this);
    findmode[0]->setChecked(true);
    connect(findmode[0], &QRadioButton::clicked, this, [this] { setListMode(false); });
    connect(findmode[1], &QRadioButton::clicked, this, [this] { setListMode(true); });

    sloiList = new QListWidget(this);
    sloiList->setObjectName(QStringLiteral("sloiList"));
    sloiList->setSelectionMode(QAbstractItemView::MultiSelection);
    sloibox = new QComboBox(this);
    sloibox->setObjectName(QStringLiteral("sloibox"));
    sloibox->hide();
    connect(sloibox, &QComboBox::activated, this, [this] { fillList(); });

    firstword = new QCheckBox(QStringLiteral("Искать только по первым буквам"), this);
    firstword->setObjectName(QStringLiteral("firstword"));

    findList = new ModelListView(found_, this);
    findList->setObjectName(QStringLiteral("findList"));
    nosortList = new ModelListView(numeric_, this);
    nosortList->setObjectName(QStringLiteral("nosortList"));
    connect(findList, &ModelListView::chosen, this, &UnifindDialog::showFound);
    connect(nosortList, &ModelListView::chosen, this, &UnifindDialog::showFound);

    findkey = new QPushButton(caption(5, "Найти"), this);
    findkey->setObjectName(QStringLiteral("findkey"));
    showkey = new QPushButton(caption(6, "Показать"), this);
    showkey->setObjectName(QStringLiteral("showkey"));
    closekey = new QPushButton(caption(7, "Закрыть"), this);
    closekey->setObjectName(QStringLiteral("closekey"));
    connect(findkey, &QPushButton::clicked, this, &UnifindDialog::find);
    connect(showkey, &QPushButton::clicked, this, &UnifindDialog::showFound);
    connect(closekey, &QPushButton::clicked, this, &UnifindDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(findname);
    left->addWidget(findmode[0]);
    left->addWidget(findmode[1]);
    left->addWidget(firstword);
    left->addWidget(sloiList, 1);
    left->addWidget(sloibox);
    left->addStretch(0);

    auto* right = new QVBoxLayout;
    right->addWidget(findList, 1);
    right->addWidget(nosortList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(findkey);
    buttons->addWidget(showkey);
    buttons->addStretch();
    buttons->addWidget(closekey);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);
    resize(620, 420);
}

void UnifindDialog::fillClassLists() {
    const Tables& t = env_.state->tables;
    for (int c = 1; c <= t.classCount(); ++c) {
        const ClassRecord& r = t.classes[size_t(c)];
        if (r.hasNames == 0) continue;
        const QString name = r.className.trimmed();
        auto* item = new QListWidgetItem(name, sloiList);
        item->setData(Qt::UserRole, c);
        item->setSelected(r.searchable != 0);
        sloibox->addItem(name, c);
    }
    if (sloiList->count() > 0) sloiList->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    if (sloibox->count() > 0) sloibox->setCurrentIndex(0);
}

bool UnifindDialog::listMode() const { return findmode[1]->isChecked(); }

void UnifindDialog::setListMode(bool list) {
    if (busy_) return;
    findmode[list ? 1 : 0]->setChecked(true);
    if (list) {
        sloiList->hide();
        sloibox->show();
        if (sloiList->currentRow() >= 0 && sloiList->currentRow() < sloibox->count())
            sloibox->setCurrentIndex(sloiList->currentRow());
        firstword->setEnabled(false);
        found_.clear();
        showkey->setEnabled(true);
        findkey->setEnabled(false);
        env_.letEventsRun();
        fillList();
    } else {
        sloiList->show();
        sloibox->hide();
        numeric_.setVisible(false);
        numeric_.clear();
        found_.setVisible(true);
        if (sloibox->currentIndex() >= 0)
            sloiList->setCurrentRow(sloibox->currentIndex(), QItemSelectionModel::NoUpdate);
        firstword->setEnabled(true);
        found_.clear();
        findkey->setEnabled(true);
    }
}

void UnifindDialog::find() {
    if (busy_) return;
    busy_ = true;
    cancel_ = false;
    findkey->setEnabled(false);
    std::vector<int> classes;
    for (int i = 0; i < sloiList->count(); ++i)
        if (sloiList->item(i)->isSelected())
            classes.push_back(sloiList->item(i)->data(Qt::UserRole).toInt());
    QString error;
    FillStatus status;
    {
        BusyCursor busy;
        env_.letEventsRun();
        status = findByText(env_.names(), findname->text(), found_, classes, &cancel_, &error,
                            firstword->isChecked() ? TextMatch::WordStart : TextMatch::Anywhere,
                            true, nameSpellings(findname->text()));
        // A kind of place ("аптека рядом"): the nearest ones ahead of the names.
        if (status != FillStatus::Cancelled) {
            std::vector<ListModel::Item> places = nearbyItems(
                env_.names(), findNearby(env_.names(), findname->text(), env_.viewCentreX(),
                                         env_.viewCentreY(), kNearbyListLimit));
            for (ListModel::Item& p : places) p.group = -1;
            if (!places.empty()) {
                found_.addItems(std::move(places));
                found_.setCurrentIndex(0);
            }
        }
    }
    busy_ = false;
    if (status == FillStatus::Cancelled) return;  // the dialog was closed meanwhile
    if (status == FillStatus::Failed) env_.message(this, error);
    if (found_.isEmpty()) {
        showkey->setEnabled(false);
        if (status != FillStatus::Failed)
            env_.message(this,
                         message(kSection, 8, QStringLiteral("Не найдено ни одного объекта")));
    } else {
        showkey->setEnabled(true);
        findList->setFocus();
    }
    env_.reportProblems(this);
    env_.letEventsRun();
    findkey->setEnabled(!listMode());
}

void UnifindDialog::fillList() {
    if (!listMode() || busy_) return;
    const int c = sloibox->currentData().toInt();
    QString error;
    FillStatus status;
    busy_ = true;
    {
        BusyCursor busy;
        status = fillClassList(env_.names(), found_, c, numeric_, &error);
        if (!found_.isEmpty()) found_.setCurrentIndex(0);
        if (!numeric_.isEmpty()) numeric_.setCurrentIndex(0);
    }
    busy_ = false;
    if (status == FillStatus::Failed) env_.message(this, error);
    env_.reportProblems(this);
    positionWhileTyping(findname->text());
}

void UnifindDialog::positionWhileTyping(const QString& typed) {
    if (!listMode() || found_.isEmpty() || typed.isEmpty()) return;
    // Only the lettered list: a class of numbers keeps its numeric list where
    // the user left it.
    findList->selectAtTop(found_.prefixPosition(typed));
}

void UnifindDialog::showFound() {
    if (busy_) return;
    // The marks are emptied first, also when nothing is chosen.
    if (env_.state->settings.remselfind == 1) env_.state->marksList.clear();
    ListModel& source = numeric_.isVisible() ? numeric_ : found_;
    const int i = source.currentIndex();
    if (i < 0) return;
    const qint64 data = source.itemData(i);
    accept();
    env_.showItem(data);
}

void UnifindDialog::reject() {
    cancel_ = true;
    QDialog::reject();
}

bool UnifindDialog::eventFilter(QObject* watched, QEvent* e) {
    if (watched == findname && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (listMode())
                showFound();
            else
                find();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace urbica
