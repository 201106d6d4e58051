#include "search/searchdom.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "dataset/settings.h"

namespace urbica {

namespace {

const QString kSection = QStringLiteral("searchdom");

QString noHouseText() { return message(kSection, 14, QStringLiteral("Не найдено ни одного дома")); }

bool isEnter(const QKeyEvent* k) { return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter; }

// House labels are built one by one from the files; events run this often.
constexpr size_t kLabelsBetweenEvents = 256;

}  // namespace

// ---------------------------------------------------------------------------

NoDomDialog::NoDomDialog(QWidget* parent) : QDialog(parent) {
    const QString section = QStringLiteral("nodom");
    setObjectName(section);
    setWindowTitle(message(section, 1, QStringLiteral("Не найдено ни одного дома")));
    Label1 = new QLabel(message(section, 2,
                                QStringLiteral("На Ваш запрос нет ни одного дома. Попытаться "
                                               "найти ближайшие дома?")),
                        this);
    Label1->setWordWrap(true);
    blij = new QPushButton(message(section, 3, QStringLiteral("Найти ближайшие")), this);
    allonstreet = new QPushButton(message(section, 4, QStringLiteral("Все на улице")), this);
    cancelkey = new QPushButton(message(section, 5, QStringLiteral("Отмена")), this);
    blij->setObjectName(QStringLiteral("blij"));
    allonstreet->setObjectName(QStringLiteral("allonstreet"));
    cancelkey->setObjectName(QStringLiteral("cancelkey"));
    connect(allonstreet, &QPushButton::clicked, this, [this] { choose(kNoHouseAll); });
    connect(blij, &QPushButton::clicked, this, [this] { choose(kNoHouseNearest); });
    connect(cancelkey, &QPushButton::clicked, this, [this] { choose(kNoHouseCancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(allonstreet);
    buttons->addWidget(blij);
    buttons->addWidget(cancelkey);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    blij->setFocus();
}

void NoDomDialog::choose(int16_t choice) {
    choice_ = choice;
    accept();
}

// ---------------------------------------------------------------------------

SearchDomDialog::SearchDomDialog(SearchEnv env, QWidget* parent)
    : QDialog(parent), env_(std::move(env)) {
    setObjectName(QStringLiteral("searchdom"));
    setWindowTitle(QStringLiteral("Поиск дома"));
    auto pump = [this] { env_.letEventsRun(); };
    streets_.setPendingEvents(pump);
    foundStreets_.setPendingEvents(pump);
    foundStreets_.setVisible(false);
    buildControls();
    loadStreets();
}

// The controls are made in the order of the focus chain.
void SearchDomDialog::buildControls() {
    makeStreetControls();
    makeHouseControls();
    layOutControls();
}

void SearchDomDialog::makeStreetControls() {
    findmode[0] = new QRadioButton(QStringLiteral("По списку"), this);
    findmode[1] = new QRadioButton(QStringLiteral("По контексту"), this);
    findmode[0]->setChecked(true);
    connect(findmode[0], &QRadioButton::clicked, this, [this] { setContextMode(false); });
    connect(findmode[1], &QRadioButton::clicked, this, [this] { setContextMode(true); });

    findname = new QLineEdit(this);
    findname->setObjectName(QStringLiteral("findname"));
    findname->installEventFilter(this);
    connect(findname, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!contextMode()) positionStreet(text);
    });

    streetlist = new ModelListView(streets_, this);
    streetlist->setObjectName(QStringLiteral("streetlist"));
    findstreetList = new ModelListView(foundStreets_, this);
    findstreetList->setObjectName(QStringLiteral("findstreetList"));
    connect(streetlist, &ModelListView::keyPressed, this, [this] { takeStreetText(false); });
    connect(streetlist, &ModelListView::mousePressed, this, [this] { takeStreetText(true); });
    connect(streetlist, &ModelListView::chosen, this, &SearchDomDialog::showStreet);
    connect(findstreetList, &ModelListView::chosen, this, &SearchDomDialog::showStreet);

    findstreetkey = new QPushButton(QStringLiteral("Найти улицу"), this);
    findstreetkey->setObjectName(QStringLiteral("findstreetkey"));
    findstreetkey->setEnabled(false);
    showstreetkey = new QPushButton(QStringLiteral("Показать улицу"), this);
    showstreetkey->setObjectName(QStringLiteral("showstreetkey"));
    connect(findstreetkey, &QPushButton::clicked, this, &SearchDomDialog::findStreet);
    connect(showstreetkey, &QPushButton::clicked, this, &SearchDomDialog::showStreet);
}

void SearchDomDialog::makeHouseControls() {
    auto field = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(maxLength);
        e->installEventFilter(this);
        return e;
    };
    domnom = field("domnom", 4);
    dombykv = field("dombykv", 4);
    domdrob = field("domdrob", 3);
    domkor = field("domkor", 3);

    findkey = new QPushButton(QStringLiteral("Найти дом"), this);
    findkey->setObjectName(QStringLiteral("findkey"));
    connect(findkey, &QPushButton::clicked, this, &SearchDomDialog::findHouse);
    findList = new ModelListView(houses_, this);
    findList->setObjectName(QStringLiteral("findList"));
    connect(findList, &ModelListView::chosen, this, &SearchDomDialog::showHouse);
    showkey = new QPushButton(QStringLiteral("Показать дом"), this);
    showkey->setObjectName(QStringLiteral("showkey"));
    showkey->setEnabled(false);
    connect(showkey, &QPushButton::clicked, this, &SearchDomDialog::showHouse);
    cancelkey = new QPushButton(QStringLiteral("Закрыть"), this);
    cancelkey->setObjectName(QStringLiteral("cancelkey"));
    connect(cancelkey, &QPushButton::clicked, this, &QWidget::hide);
}

void SearchDomDialog::layOutControls() {
    auto* modes = new QHBoxLayout;
    modes->addWidget(findmode[0]);
    modes->addWidget(findmode[1]);
    modes->addStretch();

    auto* street = new QGridLayout;
    street->addWidget(new QLabel(QStringLiteral("Улица"), this), 0, 0);
    street->addWidget(findname, 0, 1);
    street->addWidget(findstreetkey, 0, 2);
    street->addWidget(streetlist, 1, 0, 1, 3);
    street->addWidget(findstreetList, 1, 0, 1, 3);
    street->addWidget(showstreetkey, 2, 2);

    auto* house = new QHBoxLayout;
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"Номер", domnom}, {"Буква", dombykv}, {"Дробь", domdrob}, {"Корпус", domkor}};
    for (const auto& [label, edit] : fields) {
        house->addWidget(new QLabel(QString::fromUtf8(label), this));
        edit->setFixedWidth(48);
        house->addWidget(edit);
    }
    house->addStretch();
    house->addWidget(findkey);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(showkey);
    bottom->addWidget(cancelkey);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addLayout(street, 3);
    layout->addLayout(house);
    layout->addWidget(findList, 2);
    layout->addLayout(bottom);
    resize(520, 560);
}

bool SearchDomDialog::streetClassInTable() const {
    const int sc = env_.state->catalogue.streetClass;
    return sc >= 1 && sc <= env_.state->tables.classCount();
}

void SearchDomDialog::loadStreets() {
    if (!streetClassInTable()) return;
    QString error;
    {
        BusyCursor busy;
        env_.letEventsRun();
        std::optional<StreetListEntries> ahead =
            env_.takeStreets ? env_.takeStreets() : std::nullopt;
        if (ahead && ahead->status == FillStatus::Done)
            putStreetList(streets_, std::move(*ahead));
        else if (fillStreetList(env_.names(), streets_, &error) == FillStatus::Failed)
            streets_.clear();
        firstLetterIndex_ = buildFirstLetterIndex(streets_);
        if (!streets_.isEmpty()) streets_.setCurrentIndex(0);
    }
    // A failure, or the damaged files the list passed over.
    env_.message(this, error);
}

bool SearchDomDialog::contextMode() const { return findmode[1]->isChecked(); }

void SearchDomDialog::setContextMode(bool context) {
    findmode[context ? 1 : 0]->setChecked(true);
    if (context) {
        if (foundStreets_.isEmpty()) {
            showstreetkey->setEnabled(false);
            findkey->setEnabled(false);
        }
        streets_.setVisible(false);
        foundStreets_.setVisible(true);
        findstreetkey->setEnabled(true);
    } else {
        foundStreets_.setVisible(false);
        streets_.setVisible(true);
        showstreetkey->setEnabled(true);
        findstreetkey->setEnabled(false);
        findkey->setEnabled(true);
    }
}

void SearchDomDialog::positionStreet(const QString& typed) {
    const int j = streetTypingPosition(streets_, firstLetterIndex_, typed);
    if (j >= 0) streetlist->selectAtTop(j);
}

void SearchDomDialog::takeStreetText(bool clearHouses) {
    const int i = streets_.currentIndex();
    if (i >= 0) findname->setText(streets_.text(i));
    for (QLineEdit* e : {domnom, dombykv, domdrob, domkor}) e->clear();
    if (clearHouses) {
        houses_.clear();
        showkey->setEnabled(false);
    }
}

bool SearchDomDialog::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn && watched == findname) {
        QTimer::singleShot(0, findname, &QLineEdit::selectAll);
    } else if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (watched == findname && k->key() == Qt::Key_Down) {
            (contextMode() ? findstreetList : streetlist)->setFocus();
            return true;
        }
        if (isEnter(k)) {
            if (watched == findname) {
                domnom->setFocus();
                return true;
            }
            if (watched == domnom) {
                dombykv->setFocus();
                return true;
            }
            if (watched == dombykv) {
                domdrob->setFocus();
                return true;
            }
            if (watched == domdrob) {
                domkor->setFocus();
                return true;
            }
            if (watched == domkor) {
                findkey->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}

void SearchDomDialog::findStreet() {
    if (busy_) return;
    busy_ = true;
    QString error;
    FillStatus status;
    {
        BusyCursor busy;
        status = findByText(env_.names(), findname->text(), foundStreets_,
                            {int(env_.state->catalogue.streetClass)}, nullptr, &error);
    }
    busy_ = false;
    if (status == FillStatus::Failed) env_.message(this, error);
    const bool any = !foundStreets_.isEmpty();
    showstreetkey->setEnabled(any);
    findkey->setEnabled(any);
    if (any) findstreetList->setFocus();
    if (!any && status != FillStatus::Failed)
        env_.message(this, message(kSection, 15, QStringLiteral("Не найдено ни одной улицы")));
    env_.reportProblems(this);
}

int32_t SearchDomDialog::currentStreet() const {
    if (contextMode()) {
        const int i = foundStreets_.currentIndex();
        return i < 0 ? 0 : decodeItemKey(foundStreets_.itemData(i)).record;
    }
    const int i = streets_.currentIndex();
    return i < 0 ? 0 : int32_t(streets_.itemData(i));
}

int16_t SearchDomDialog::askWhenNoHouse() {
    if (askNoHouse) return askNoHouse();
    NoDomDialog question(this);
    question.exec();
    return question.noHouseChoice();
}

void SearchDomDialog::listHouses(const std::vector<HouseEntry>& all,
                                 const std::vector<size_t>& which) {
    std::vector<ListModel::Item> items;
    items.reserve(which.size());
    const NameContext ctx = env_.names();
    for (size_t i : which) {
        const HouseEntry& h = all[i];
        items.push_back({houseLabel(ctx, h), itemKey(h.classNumber, h.record)});
        if (items.size() % kLabelsBetweenEvents == 0) env_.letEventsRun();
    }
    houses_.addItems(std::move(items));
}

void SearchDomDialog::findHouse() {
    if (busy_ || !streetClassInTable()) return;
    houses_.clear();
    for (QLineEdit* e : {domnom, domkor, dombykv, domdrob}) e->setText(e->text().trimmed());
    const HouseQuery query{domnom->text(), dombykv->text(), domdrob->text(), domkor->text()};
    const int32_t street = currentStreet();
    if (street <= 0) {
        showkey->setEnabled(false);
        return;
    }

    std::vector<HouseEntry> all;
    QString error;
    busy_ = true;
    {
        BusyCursor busy;
        if (readStreetHouses(env_.names(), street, all, &error))
            listHouses(all, matchingHouses(all, query));
    }
    busy_ = false;
    if (!error.isEmpty()) {
        showkey->setEnabled(false);
        env_.message(this, error);
        return;
    }
    env_.reportProblems(this);
    if (houses_.isEmpty()) {
        showkey->setEnabled(false);
        if (query.isEmpty()) {
            env_.message(this, noHouseText());
            return;
        }
        switch (askWhenNoHouse()) {
            case kNoHouseNearest: {
                BusyCursor busy;
                listHouses(all, nearestHouses(all, query));
                break;
            }
            case kNoHouseAll:
                for (QLineEdit* e : {domnom, dombykv, domkor, domdrob}) e->clear();
                findHouse();
                return;
            default:
                return;
        }
        if (houses_.isEmpty()) {
            env_.message(this, noHouseText());
            return;
        }
    }
    houses_.setCurrentIndex(0);
    showkey->setEnabled(true);
    findList->setFocus();
}

void SearchDomDialog::showHouse() {
    const int i = houses_.currentIndex();
    if (i < 0) return;
    const NamedObject o = decodeItemKey(houses_.itemData(i));
    hide();
    env_.showFound(o.classNumber, o.record);
}

void SearchDomDialog::showStreet() {
    if (!streetClassInTable()) return;
    if (!contextMode() && streets_.currentIndex() < 0) return;
    if (contextMode() && foundStreets_.currentIndex() < 0) return;
    const int32_t street = currentStreet();
    hide();
    env_.showFound(env_.state->catalogue.streetClass, street);
}

}  // namespace urbica
