#include "dialogs/sloirast.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dataset/settings.h"

namespace urbica {

namespace {

const char kSection[] = "sloirast";

void fill(QListWidget* w, const LayerOrderList& list) {
    for (const LayerOrderEntry& e : list) {
        auto* item = new QListWidgetItem(e.name, w);
        item->setData(Qt::UserRole, int(e.layer));
        item->setSelected(e.selected);
    }
    if (w->count() > 0) w->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

LayerOrderList read(const QListWidget* w) {
    LayerOrderList out;
    for (int i = 0; i < w->count(); ++i) {
        const QListWidgetItem* item = w->item(i);
        out.push_back(
            {item->text(), int16_t(item->data(Qt::UserRole).toInt()), item->isSelected()});
    }
    return out;
}

QWidget* tabPage(QListWidget* list, QPushButton* up, QPushButton* down) {
    auto* page = new QWidget;
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    return page;
}

QPushButton* arrowButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                         const QString& tip) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QListWidget* layerList(QWidget* parent, const char* name) {
    auto* w = new QListWidget(parent);
    w->setObjectName(QLatin1String(name));
    w->setSelectionMode(QAbstractItemView::MultiSelection);
    return w;
}

}  // namespace

LayerOrderDialog::LayerOrderDialog(Tables& tables, QWidget* parent)
    : QDialog(parent), tables_(tables) {
    setObjectName(QLatin1String(kSection));
    setWindowTitle(message(QLatin1String(kSection), 1, QStringLiteral("Порядок слоев")));
    dialogAccepted_ = 0;

    sloiList = layerList(this, "sloiList");
    selectList = layerList(this, "selectList");
    risupkey = arrowButton(this, "risupkey", QStyle::SP_ArrowUp, QStringLiteral("Выше"));
    risdnkey = arrowButton(this, "risdnkey", QStyle::SP_ArrowDown, QStringLiteral("Ниже"));
    detupkey = arrowButton(this, "detupkey", QStyle::SP_ArrowUp, QStringLiteral("Выше"));
    detdnkey = arrowButton(this, "detdnkey", QStyle::SP_ArrowDown, QStringLiteral("Ниже"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(tabPage(sloiList, risupkey, risdnkey),
                   message(QLatin1String(kSection), 2, QStringLiteral("Рисование")));
    SSTab1->addTab(tabPage(selectList, detupkey, detdnkey),
                   message(QLatin1String(kSection), 3, QStringLiteral("Опознавание")));

    closekey =
        new QPushButton(message(QLatin1String(kSection), 4, QStringLiteral("Запомнить")), this);
    closekey->setObjectName(QStringLiteral("closekey"));
    cancelkey =
        new QPushButton(message(QLatin1String(kSection), 5, QStringLiteral("Отменить")), this);
    cancelkey->setObjectName(QStringLiteral("cancelkey"));
    closekey->setAutoDefault(false);
    cancelkey->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closekey);
    buttons->addWidget(cancelkey);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);
    resize(440, 420);

    fill(sloiList, drawOrderList(tables_));
    fill(selectList, selectOrderList(tables_));

    connect(risupkey, &QPushButton::clicked, this, [this] { moveCurrent(sloiList, false); });
    connect(risdnkey, &QPushButton::clicked, this, [this] { moveCurrent(sloiList, true); });
    connect(detupkey, &QPushButton::clicked, this, [this] { moveCurrent(selectList, false); });
    connect(detdnkey, &QPushButton::clicked, this, [this] { moveCurrent(selectList, true); });
    connect(closekey, &QPushButton::clicked, this, &LayerOrderDialog::store);
    connect(cancelkey, &QPushButton::clicked, this, &QDialog::reject);
}

LayerOrderList LayerOrderDialog::drawingList() const { return read(sloiList); }
LayerOrderList LayerOrderDialog::pickingList() const { return read(selectList); }

void LayerOrderDialog::moveCurrent(QListWidget* w, bool down) {
    LayerOrderList list = read(w);
    const int k = w->currentRow();
    const int to = down ? moveEntryDown(list, k) : moveEntryUp(list, k);
    if (to == k) return;
    // Both rows take the other's text, layer and selection.
    for (int row : {k, to}) {
        QListWidgetItem* item = w->item(row);
        const LayerOrderEntry& e = list[size_t(row)];
        item->setText(e.name);
        item->setData(Qt::UserRole, int(e.layer));
        item->setSelected(e.selected);
    }
    w->setCurrentRow(to, QItemSelectionModel::NoUpdate);
}

void LayerOrderDialog::store() {
    storeLayerOrder(tables_, read(sloiList), read(selectList));
    dialogAccepted_ = -1;
    accept();
}

bool layerOrderCommand(QWidget* parent, AppState& s, MapBoxes& boxes, const ViewHooks& hooks,
                       const std::function<void(const QString&)>& message) {
    LayerOrderDialog dialog(s.tables, parent);
    dialog.exec();
    if (dialog.dialogAccepted() == 0) return false;
    QString error;
    if (!applyLayerOrder(s, boxes, hooks, &error)) {
        const QString text = QStringLiteral(
                                 "Порядок слоев действует до конца работы, но не записан в файлы "
                                 "данных: %1.")
                                 .arg(error);
        if (message)
            message(text);
        else
            QMessageBox(QMessageBox::NoIcon, dialog.windowTitle(), text, QMessageBox::Ok, parent)
                .exec();
    }
    return true;
}

}  // namespace urbica
