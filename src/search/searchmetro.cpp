#include "search/searchmetro.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "search/metro.h"

namespace urbica {

SearchMetroDialog::SearchMetroDialog(SearchEnv env, QWidget* parent)
    : QDialog(parent), env_(std::move(env)) {
    setObjectName(QStringLiteral("searchmetro"));
    setWindowTitle(QStringLiteral("Поиск станции метро"));
    stations_.setPendingEvents([this] { env_.letEventsRun(); });

    Label1 = new QLabel(QStringLiteral("Текст для поиска:"), this);
    findname = new QLineEdit(this);
    findname->setObjectName(QStringLiteral("findname"));
    findname->installEventFilter(this);
    listfind = new QCheckBox(QStringLiteral("По списку"), this);
    listfind->setObjectName(QStringLiteral("listfind"));
    listfind->setChecked(true);
    metrolist = new ModelListView(stations_, this);
    metrolist->setObjectName(QStringLiteral("metrolist"));
    // Names are listed with their blank padding, which needs no scrolling.
    metrolist->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    metrolist->setTextElideMode(Qt::ElideNone);
    findkey = new QPushButton(QStringLiteral("Найти"), this);
    findkey->setObjectName(QStringLiteral("findkey"));
    showkey = new QPushButton(QStringLiteral("Показать"), this);
    showkey->setObjectName(QStringLiteral("showkey"));
    closekey = new QPushButton(QStringLiteral("Закрыть"), this);
    closekey->setObjectName(QStringLiteral("closekey"));

    connect(listfind, &QCheckBox::clicked, this, [this](bool on) { setListMode(on); });
    connect(findname, &QLineEdit::textEdited, this, [this](const QString& typed) {
        if (!listMode() || stations_.currentIndex() < 0) return;
        metrolist->selectAtTop(stations_.prefixPosition(typed));
    });
    connect(metrolist, &ModelListView::mousePressed, this, [this] {
        const int i = stations_.currentIndex();
        // Blank padding and all: typing on from there positions on that station.
        if (i >= 0) findname->setText(stations_.text(i));
    });
    connect(metrolist, &ModelListView::chosen, this, &SearchMetroDialog::showStation);
    connect(findkey, &QPushButton::clicked, this, &SearchMetroDialog::find);
    connect(showkey, &QPushButton::clicked, this, &SearchMetroDialog::showStation);
    connect(closekey, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(findname, 1);
    top->addWidget(listfind);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(findkey);
    buttons->addWidget(showkey);
    buttons->addStretch();
    buttons->addWidget(closekey);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(top);
    layout->addWidget(metrolist, 1);
    layout->addLayout(buttons);
    resize(380, 420);

    setListMode(true);
}

bool SearchMetroDialog::listMode() const { return listfind->isChecked(); }

void SearchMetroDialog::setListMode(bool list) {
    if (busy_) return;
    listfind->setChecked(list);
    if (list) {
        QString error;
        bool ok;
        {
            BusyCursor busy;
            ok = fillMetroList(env_.names(), stations_, &error);
        }
        showkey->setEnabled(true);
        findkey->setEnabled(false);
        if (!ok) env_.message(this, error);
        env_.reportProblems(this);
    } else {
        stations_.clear();
        showkey->setEnabled(false);
        findkey->setEnabled(true);
    }
}

void SearchMetroDialog::find() {
    if (busy_ || listMode()) return;
    busy_ = true;
    QString error;
    bool ok;
    findkey->setEnabled(false);
    {
        BusyCursor busy;
        ok = findMetroByText(env_.names(), findname->text(), stations_, &error);
    }
    busy_ = false;
    if (!ok) {
        env_.message(this, error);
    } else if (stations_.isEmpty()) {
        showkey->setEnabled(false);
        env_.message(this, QStringLiteral("Не найдено ни одной станции метро"));
    } else {
        stations_.setCurrentIndex(0);
        showkey->setEnabled(true);
        metrolist->setFocus();
    }
    env_.reportProblems(this);
    env_.letEventsRun();
    findkey->setEnabled(!listMode());
}

void SearchMetroDialog::showStation() {
    if (busy_) return;
    const int i = stations_.currentIndex();
    if (i < 0) return;
    const int mc = env_.state->catalogue.metroClass;
    const int32_t record = int32_t(stations_.itemData(i));
    accept();
    env_.showFound(mc, record);
}

bool SearchMetroDialog::eventFilter(QObject* watched, QEvent* e) {
    if (watched == findname) {
        if (e->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, findname, &QLineEdit::selectAll);
        } else if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                if (listMode())
                    showStation();
                else
                    find();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace urbica
