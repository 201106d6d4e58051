#include "bookmarks/bookmarkdialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "dataset/settings.h"

namespace urbica {

namespace {

void setIfAny(QWidget* w, const QString& section, int number) {
    const QString t = messageText(section, number);
    if (t.isEmpty()) return;
    if (auto* b = qobject_cast<QPushButton*>(w))
        b->setText(t);
    else
        w->setWindowTitle(t);
}

void defaultMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Закладки"), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

InputStringDialog::InputStringDialog(const QString& caption, const QString& prompt,
                                     const QString& inputText, QWidget* parent)
    : QDialog(parent), inputText_(inputText) {
    setObjectName(QStringLiteral("inputstring"));
    setWindowTitle(caption);
    capt = new QLabel(prompt, this);
    capt->setObjectName(QStringLiteral("capt"));
    inptext = new QLineEdit(this);
    inptext->setObjectName(QStringLiteral("inptext"));
    okkey = new QPushButton(QStringLiteral("Запомнить"), this);
    okkey->setObjectName(QStringLiteral("okkey"));
    cancelkey = new QPushButton(QStringLiteral("Отменить"), this);
    cancelkey->setObjectName(QStringLiteral("cancelkey"));
    setIfAny(okkey, QStringLiteral("inputstring"), 1);
    setIfAny(cancelkey, QStringLiteral("inputstring"), 2);
    inptext->setText(inputText_);
    okkey->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okkey);
    buttons->addWidget(cancelkey);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(capt);
    layout->addWidget(inptext);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(okkey, &QPushButton::clicked, this, &InputStringDialog::store);
    connect(inptext, &QLineEdit::returnPressed, this, &InputStringDialog::store);
    connect(cancelkey, &QPushButton::clicked, this, &QDialog::reject);
}

void InputStringDialog::store() {
    inputAccepted_ = -1;
    inputText_ = inptext->text();
    accept();
}

BookmarkListDialog::BookmarkListDialog(const QString& path, MessageFn message, QWidget* parent)
    : QDialog(parent), path_(path), message_(std::move(message)) {
    setObjectName(QStringLiteral("bookmshow"));
    setWindowTitle(QStringLiteral("Закладки"));
    booklist = new QListWidget(this);
    booklist->setObjectName(QStringLiteral("booklist"));
    showkey = new QPushButton(QStringLiteral("Показать"), this);
    showkey->setObjectName(QStringLiteral("showkey"));
    cancelkey = new QPushButton(QStringLiteral("Отменить"), this);
    cancelkey->setObjectName(QStringLiteral("cancelkey"));
    delkey = new QPushButton(QStringLiteral("Удалить"), this);
    delkey->setObjectName(QStringLiteral("delkey"));
    setIfAny(this, QStringLiteral("bookmark"), 1);
    setIfAny(showkey, QStringLiteral("bookmark"), 2);
    setIfAny(cancelkey, QStringLiteral("bookmark"), 3);
    setIfAny(delkey, QStringLiteral("bookmark"), 4);
    showkey->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(showkey);
    buttons->addWidget(cancelkey);
    buttons->addStretch();
    buttons->addWidget(delkey);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(booklist, 1);
    layout->addLayout(buttons);
    resize(460, 300);

    connect(showkey, &QPushButton::clicked, this, &BookmarkListDialog::showBookmark);
    connect(booklist, &QListWidget::itemDoubleClicked, this, &BookmarkListDialog::showBookmark);
    connect(delkey, &QPushButton::clicked, this, &BookmarkListDialog::deleteBookmarkItem);
    connect(cancelkey, &QPushButton::clicked, this, &QDialog::reject);
}

void BookmarkListDialog::tell(const QString& text) {
    if (message_)
        message_(text);
    else
        defaultMessage(this, text);
}

void BookmarkListDialog::load() {
    booklist->clear();
    BookmarkList list;
    QString error;
    if (!listBookmarks(path_, list, &error)) {
        tell(QStringLiteral("Закладки не прочитаны: %1.").arg(error));
        return;
    }
    if (list.trailingBytes > 0) tell(bookmarkTornFileText(list.trailingBytes));
    for (const BookmarkListEntry& e : list.entries) {
        auto* item = new QListWidgetItem(e.name, booklist);
        item->setData(Qt::UserRole, e.record);
    }
    if (booklist->count() > 0) booklist->setCurrentRow(0);
}

void BookmarkListDialog::showBookmark() {
    if (booklist->count() == 0) return;
    QListWidgetItem* item = booklist->currentItem();
    if (!item) item = booklist->item(0);
    BookmarkRecord rec;
    QString error;
    if (!readBookmark(path_, item->data(Qt::UserRole).toLongLong(), rec, &error)) {
        tell(QStringLiteral("Закладка не прочитана: %1.").arg(error));
        return;
    }
    if (!bookmarkUsable(rec)) {
        tell(bookmarkDamagedText());
        return;
    }
    chosen_ = rec;
    accept();
}

void BookmarkListDialog::deleteBookmarkItem() {
    QListWidgetItem* item = booklist->currentItem();
    if (!item || !item->isSelected()) return;
    QString error;
    if (!deleteBookmark(path_, item->data(Qt::UserRole).toLongLong(), &error)) {
        tell(QStringLiteral("Закладка не удалена: %1.").arg(error));
        return;
    }
    delete booklist->takeItem(booklist->row(item));
    if (booklist->count() > 0) booklist->setCurrentRow(0);
}

bool addBookmarkCommand(QWidget* parent, const QString& path, const ViewState& view,
                        const MessageFn& message) {
    InputStringDialog dialog(
        urbica::message(QStringLiteral("urbica"), 10, QStringLiteral("Добавление новой закладки")),
        urbica::message(QStringLiteral("urbica"), 9, QStringLiteral("Под каким именем записать?")),
        QString(), parent);
    dialog.exec();
    if (dialog.inputAccepted() == 0) return false;
    QString error;
    if (!appendBookmark(path, bookmarkOfView(dialog.inputText(), view), nullptr, &error)) {
        const QString text = bookmarkFileErrorText(error);
        if (message)
            message(text);
        else
            defaultMessage(parent, text);
        return false;
    }
    return true;
}

bool showBookmarksCommand(QWidget* parent, const QString& path, ViewState& view, int mapBoxWidth,
                          int mapBoxHeight, const MessageFn& message) {
    BookmarkListDialog dialog(path, message, parent);
    dialog.load();
    dialog.exec();
    if (!dialog.chosen()) return false;
    applyBookmark(*dialog.chosen(), view, mapBoxWidth, mapBoxHeight);
    return true;
}

}  // namespace urbica
