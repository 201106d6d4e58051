#include "search/unifind.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <functional>

#include "guifixture.h"
#include "search/quickfindwidget.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class Unifind : public ::testing::Test {
protected:
    GuiCity city;
    std::unique_ptr<UnifindDialog> dlg;

    void SetUp() override {
        dlg = std::make_unique<UnifindDialog>(city.env());
        dlg->show();
    }
    QStringList found() { return listTexts(dlg->results()); }
    void chooseClass(int c) {
        const int i = dlg->sloibox->findData(c);
        ASSERT_GE(i, 0);
        dlg->sloibox->setCurrentIndex(i);
        Q_EMIT dlg->sloibox->activated(i);
    }
};

}  // namespace

TEST_F(Unifind, OpensInContextModeWithSearchableClassesChosen) {
    EXPECT_EQ(dlg->windowTitle(), u("Универсальный поиск"));
    EXPECT_TRUE(dlg->findmode[0]->isChecked());
    ASSERT_EQ(dlg->sloiList->count(), 5) << "the house class has no names";
    QStringList chosen;
    for (int i = 0; i < dlg->sloiList->count(); ++i)
        if (dlg->sloiList->item(i)->isSelected()) chosen << dlg->sloiList->item(i)->text();
    EXPECT_EQ(chosen, QStringList({u("Районы"), u("Улицы"), u("Станции метро"), u("Школы")}));
    EXPECT_EQ(dlg->sloibox->count(), 5);
    EXPECT_TRUE(dlg->firstword->isEnabled());
    EXPECT_FALSE(dlg->nosortList->isVisible());
}

TEST_F(Unifind, ContextSearchFindsTheTextAnywhere) {
    typeInto(dlg->findname, "СКАЯ");
    pressEnter(dlg->findname);
    EXPECT_EQ(found(), QStringList({u("Станции метро Арбатская"), u("Станции метро Московская"),
                                    u("Улицы Московская"), u("Улицы Павловская")}));
    EXPECT_EQ(dlg->focusWidget(), dlg->findList);
    EXPECT_TRUE(dlg->showkey->isEnabled());
    EXPECT_TRUE(dlg->findkey->isEnabled());
    EXPECT_TRUE(city.messages.isEmpty());

    // The pond class is listed but not chosen: added by a click, it is searched too.
    dlg->findname->setText(u("садов"));
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Станции метро Садовая"), u("Улицы Садовая")}));
    dlg->sloiList->item(3)->setSelected(true);
    dlg->findkey->click();
    EXPECT_EQ(found().size(), 3);
    EXPECT_EQ(found().first(), u("Пруды Садовый пруд"));
}

TEST_F(Unifind, FirstWordOnlyMatchesWordStarts) {
    dlg->firstword->setChecked(true);
    dlg->findname->setText(u("ская"));
    dlg->findkey->click();
    EXPECT_TRUE(found().isEmpty());
    EXPECT_EQ(city.messages, QStringList({u("Не найдено ни одного объекта")}));
    EXPECT_FALSE(dlg->showkey->isEnabled());
    dlg->findname->setText(u("кул"));
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Станции метро Парк культуры")}));
}

TEST_F(Unifind, YoAndYeFindEachOther) {
    dlg->findname->setText(u("елк"));
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Станции метро Ёлки")}));
    dlg->findname->setText(u("НЕЧЁТ"));
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Улицы Нечётная")}));
}

TEST_F(Unifind, NoClassChosenClearsAndReports) {
    dlg->findname->setText(u("а"));
    dlg->findkey->click();
    ASSERT_FALSE(found().isEmpty());
    dlg->sloiList->clearSelection();
    dlg->findkey->click();
    EXPECT_TRUE(found().isEmpty());
    EXPECT_EQ(city.messages.size(), 1);
}

TEST_F(Unifind, NumericClassInListMode) {
    dlg->findmode[1]->click();
    EXPECT_FALSE(dlg->sloiList->isVisible());
    EXPECT_TRUE(dlg->sloibox->isVisible());
    EXPECT_FALSE(dlg->firstword->isEnabled());
    EXPECT_FALSE(dlg->findkey->isEnabled());
    chooseClass(kSchools);
    EXPECT_TRUE(dlg->nosortList->isVisible());
    EXPECT_FALSE(dlg->findList->isVisible());
    EXPECT_EQ(listTexts(dlg->numericResults()),
              QStringList({u("1"), u("2"), u("2"), u("10"), u("33")}));
    // Typing positions the hidden lettered list only; the numeric list stays.
    typeInto(dlg->findname, "3");
    EXPECT_EQ(currentText(dlg->numericResults()), u("1"));
    EXPECT_EQ(currentText(dlg->results()), u("33"));
    dlg->numericResults().setCurrentIndex(3);
    dlg->showkey->click();
    ASSERT_EQ(city.shown.size(), 1u);
    EXPECT_EQ(city.shown[0], (Shown{kSchools, 1})) << "10 is the first school record";
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(Unifind, TextClassInListModePositionsWhileTyping) {
    dlg->findmode[1]->click();
    chooseClass(kStreets);
    EXPECT_TRUE(dlg->findList->isVisible());
    EXPECT_FALSE(dlg->nosortList->isVisible());
    EXPECT_EQ(dlg->results().count(), kStreetCount);
    typeInto(dlg->findname, "Па");
    EXPECT_EQ(currentText(dlg->results()), u("Павловская"));
    typeInto(dlg->findname, "зз");
    EXPECT_EQ(currentText(dlg->results()), u("Пустая")) << "the first entry not passed";
    dlg->findname->setText(u("Щ"));
    EXPECT_EQ(currentText(dlg->results()), u("Садовая")) << "beyond every entry: the last";
    // Enter in list mode shows the entry.
    pressEnter(dlg->findname);
    ASSERT_EQ(city.shown.size(), 1u);
    EXPECT_EQ(city.shown[0], (Shown{kStreets, kSadovaya}));

    EXPECT_FALSE(dlg->isVisible());

    // Back to context mode.
    dlg->show();
    dlg->findmode[0]->click();
    EXPECT_TRUE(dlg->sloiList->isVisible());
    EXPECT_TRUE(found().isEmpty());
    EXPECT_TRUE(dlg->findkey->isEnabled());
}

TEST_F(Unifind, ShowWithoutSelectionEmptiesTheMarksWhenAsked) {
    city.state.marksList.add({kStreets, 1});
    city.state.settings.remselfind = 0;
    dlg->showkey->click();
    EXPECT_EQ(city.state.marksList.upperBound(), 1);
    city.state.settings.remselfind = 1;
    dlg->showkey->click();
    EXPECT_TRUE(city.shown.empty());
    EXPECT_EQ(city.state.marksList.upperBound(), 0) << "emptied before the selection is asked";
    EXPECT_TRUE(dlg->isVisible());
}

// Name files that are not a whole number of records or are shorter than their
// index: what can be read is found and listed, and each file is named once
// however often it is read.
TEST_F(Unifind, DamagedNameFilesAreNamedOnceAndTheRestIsListed) {
    city.truncate("sh.cls", 2 * PlainNameRecord::kRecordLength + 7);  // schools "10" and "2" whole
    for (const char* file : {"pr.cls", "mt.cl2"}) {
        QFile f(city.path(file));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("x");
    }
    dlg->sloiList->item(3)->setSelected(true);  // the ponds too
    for (int i = 0; i < 2; ++i) {
        dlg->findname->setText(u("Ёлоч"));
        dlg->findkey->click();
        EXPECT_TRUE(found().contains(u("Пруды Озеро Ёлочное"))) << found().join(u',').toStdString();
        EXPECT_TRUE(found().contains(u("Улицы Ёлочная")));
    }
    dlg->findmode[1]->click();
    for (int i = 0; i < 2; ++i) {
        chooseClass(kSchools);
        const QStringList schools = listTexts(dlg->numericResults()) + found();
        EXPECT_TRUE(schools.contains(u("10")) && schools.contains(u("2")))
            << schools.join(u',').toStdString();
    }
    const QString all = city.messages.join(u'\n');
    for (const char* file : {"sh.cls", "pr.cls", "mt.cl2"})
        EXPECT_EQ(all.count(QLatin1String(file)), 1) << file << ": " << all.toStdString();
}

TEST_F(Unifind, MissingNameFileIsReported) {
    QFile::remove(city.path("mt.cls"));
    dlg->findname->setText(u("а"));
    dlg->findkey->click();
    ASSERT_EQ(city.messages.size(), 1);
    EXPECT_TRUE(city.messages[0].contains(u("mt.cls")));
}

// ---------------------------------------------------------------------------

namespace {

struct QuickFindStrip {
    GuiCity city;
    QWidget window;
    QLineEdit* findname = new QLineEdit(&window);
    QListWidget* findList = new QListWidget(&window);
    QPushButton* findkey = new QPushButton(&window);
    QPushButton* showkey = new QPushButton(&window);
    std::function<void()> pump;  // what the search's event pumps do; nothing when unset
    QuickFind quick{env(), findname, findList, findkey, showkey};

    SearchEnv env() {
        SearchEnv e = city.env();
        e.pumpEvents = [this] {
            if (pump) pump();
        };
        return e;
    }

    QStringList texts() const {
        QStringList l;
        for (int i = 0; i < findList->count(); ++i) l << findList->item(i)->text();
        return l;
    }
};

}  // namespace

TEST(QuickFind, SearchesOnlySearchableClasses) {
    QuickFindStrip q;
    q.window.show();
    q.findname->setFocus();
    EXPECT_EQ(q.showkey->text(), u("<-- Показать"));
    q.findname->setText(u("Садов"));
    pressEnter(q.findname);
    EXPECT_EQ(q.window.focusWidget(), q.findList);
    EXPECT_EQ(q.texts(), QStringList({u("Станции метро Садовая"), u("Улицы Садовая")}))
        << "the pond class is named but not searchable";
    EXPECT_TRUE(q.showkey->isEnabled());
    EXPECT_EQ(q.findList->currentRow(), 0);

    q.findList->setCurrentRow(1);
    q.showkey->click();
    ASSERT_EQ(q.city.shown.size(), 1u);
    EXPECT_EQ(q.city.shown[0], (Shown{kStreets, kSadovaya}));
    EXPECT_EQ(q.city.state.marksList.upperBound(), 1);
    pressEnter(q.findList);
    EXPECT_EQ(q.city.shown.size(), 2u);
    EXPECT_EQ(q.city.state.marksList.upperBound(), 1) << "remselfind empties first";
}

TEST(QuickFind, NothingFoundAndEmptyText) {
    QuickFindStrip q;
    q.findname->setText(u("   "));
    q.findkey->click();
    EXPECT_TRUE(q.city.messages.isEmpty()) << "an empty text does nothing";
    q.findname->setText(u("пруд"));
    q.findkey->click();
    EXPECT_EQ(q.city.messages, QStringList({u("Не найдено ни одного объекта")}));
    EXPECT_FALSE(q.showkey->isEnabled());
    EXPECT_EQ(q.findList->count(), 0);
    q.showkey->click();
    EXPECT_TRUE(q.city.shown.empty());
}

TEST(QuickFind, FillsWhileTypingAndGivesUpASearchAKeyOvertakes) {
    QuickFindStrip q;
    QLineEdit* findname = q.findname;
    QListWidget* findList = q.findList;
    // The search's pumps see the text typed so far; once, a key arrives in one.
    QStringList pumpedAt;
    QString typeDuring;  // typed in the second pump of a search, inside the text search
    q.pump = [&] {
        pumpedAt << findname->text();
        if (!typeDuring.isEmpty() && pumpedAt.size() == 2) {
            const QByteArray key = typeDuring.toUtf8();
            typeDuring.clear();
            typeInto(findname, key.constData());
        }
    };
    q.window.show();
    findname->setFocus();

    // One letter is not looked for; two or more are, once the typing pauses.
    typeInto(findname, "С");
    QTest::qWait(QuickFind::kTypingPauseMs + 100);
    EXPECT_TRUE(pumpedAt.isEmpty());
    typeInto(findname, "адов");
    EXPECT_TRUE(q.quick.refreshPending());
    EXPECT_EQ(findList->count(), 0) << "nothing while the keys come";
    EXPECT_TRUE(QTest::qWaitFor([&] { return findList->count() == 2; }, 2000));
    EXPECT_EQ(q.texts(), QStringList({u("Станции метро Садовая"), u("Улицы Садовая")}));
    EXPECT_EQ(q.window.focusWidget(), findname) << "typing goes on in the box";
    EXPECT_TRUE(q.showkey->isEnabled());
    EXPECT_TRUE(pumpedAt.contains(u("Садов")));
    const qsizetype pumpsOfOneSearch = pumpedAt.size();

    // A key during the search stops it at that pump; the list is then made
    // for the new text by one whole search. This pump delivers the key itself:
    // the window's pump lets no user input in while a search runs, so there a
    // key waits for the search to end and then starts the next one. What is
    // covered here is the cancel path for a pump that lets keys in (a search
    // environment whose pumpEvents runs all events). The new text ("Садовщь")
    // is two letters from any name, past the one typo forgiven.
    pumpedAt.clear();
    typeDuring = u("ь");
    typeInto(findname, "щ");
    EXPECT_TRUE(QTest::qWaitFor([&] { return findList->count() == 0; }, 2000));
    ASSERT_GT(pumpsOfOneSearch, 2);
    EXPECT_EQ(pumpedAt.size(), 2 + pumpsOfOneSearch) << pumpedAt.join(u(",")).toStdString();
    EXPECT_EQ(pumpedAt.value(0), u("Садовщ"));
    EXPECT_FALSE(q.showkey->isEnabled());
    EXPECT_TRUE(q.city.messages.isEmpty()) << "no message while typing";
    EXPECT_EQ(q.window.focusWidget(), findname);

    // Enter searches at once and says when nothing is found.
    pressEnter(findname);
    EXPECT_EQ(q.city.messages, QStringList({u("Не найдено ни одного объекта")}));
}
