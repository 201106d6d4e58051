// The one-line input dialog inputstring, the bookmark list bookmshow, and the
// two bookmark commands of the main window built on them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>

#include "bookmarks/bookmarkfile.h"
#include "view/viewstate.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace urbica {

using MessageFn = std::function<void(const QString&)>;

// inputstring: a label, one line of text and "Запомнить" / "Отменить".
// "Запомнить" or Enter in the line accept it; inputAccepted is then -1.
class InputStringDialog : public QDialog {
    Q_OBJECT
public:
    InputStringDialog(const QString& caption, const QString& prompt, const QString& inputText,
                      QWidget* parent = nullptr);

    QString inputText() const { return inputText_; }
    int16_t inputAccepted() const { return inputAccepted_; }

    QLabel* capt = nullptr;
    QLineEdit* inptext = nullptr;
    QPushButton* okkey = nullptr;
    QPushButton* cancelkey = nullptr;

private:
    void store();
    QString inputText_;
    int16_t inputAccepted_ = 0;
};

// bookmshow: the live bookmarks of the file; "Показать" (or a double click)
// picks one, "Удалить" clears its kind in the file.
class BookmarkListDialog : public QDialog {
    Q_OBJECT
public:
    BookmarkListDialog(const QString& path, MessageFn message, QWidget* parent = nullptr);

    // Fills the list from the file; a file that cannot be read, or one with a
    // torn last record, is reported through the message function.
    void load();
    // The bookmark picked by "Показать"; empty after "Отменить" or closing.
    const std::optional<BookmarkRecord>& chosen() const { return chosen_; }

    QListWidget* booklist = nullptr;
    QPushButton* showkey = nullptr;
    QPushButton* cancelkey = nullptr;
    QPushButton* delkey = nullptr;

private:
    void showBookmark();
    void deleteBookmarkItem();
    void tell(const QString& text);

    QString path_;
    MessageFn message_;
    std::optional<BookmarkRecord> chosen_;
};

// "Добавить закладку": asks for a name and appends the current view. True
// when a record was written; a failure is reported and nothing else changes.
bool addBookmarkCommand(QWidget* parent, const QString& path, const ViewState& view,
                        const MessageFn& message);

// "Показать закладки": the list dialog. When a bookmark was picked its view is
// put into view (height from the map box's shape) and the result is true:
// the caller then redraws with history recording on.
bool showBookmarksCommand(QWidget* parent, const QString& path, ViewState& view, int mapBoxWidth,
                          int mapBoxHeight, const MessageFn& message);

}  // namespace urbica
