#include "search/searchdom.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "guifixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class SearchDom : public ::testing::Test {
protected:
    GuiCity city;
    std::unique_ptr<SearchDomDialog> dlg;
    std::vector<int16_t> answers;  // what nodom answers, in turn
    int questions = 0;

    void open() {
        dlg = std::make_unique<SearchDomDialog>(city.env());
        dlg->askNoHouse = [this] {
            ++questions;
            const int16_t a = answers.empty() ? int16_t(kNoHouseCancel) : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return a;
        };
        dlg->show();
    }
    void SetUp() override { open(); }

    // Picks a street by typing its beginning in list mode.
    void street(const char* typed) {
        dlg->findname->clear();
        typeInto(dlg->findname, typed);
    }
    void fields(const char* number, const char* letter = "", const char* fraction = "",
                const char* building = "") {
        dlg->domnom->setText(u(number));
        dlg->dombykv->setText(u(letter));
        dlg->domdrob->setText(u(fraction));
        dlg->domkor->setText(u(building));
    }
    QStringList found() { return listTexts(dlg->houses()); }
};

}  // namespace

TEST_F(SearchDom, OpensInListModeWithEveryStreet) {
    EXPECT_EQ(dlg->windowTitle(), u("Поиск дома"));
    EXPECT_TRUE(dlg->findmode[0]->isChecked());
    EXPECT_TRUE(dlg->streetlist->isVisible());
    EXPECT_FALSE(dlg->findstreetList->isVisible());
    EXPECT_FALSE(dlg->findstreetkey->isEnabled());
    EXPECT_FALSE(dlg->showkey->isEnabled());
    EXPECT_EQ(dlg->streets().count(), kStreetCount);
    EXPECT_EQ(dlg->streets().currentIndex(), 0);
    EXPECT_EQ(dlg->streets().text(0), u("Береговая  (Центральный)"));
    EXPECT_EQ(dlg->streets().text(1), u("Ёлочная  (Центральный)"));
}

TEST_F(SearchDom, TypingSelectsTheStreet) {
    street("сад");
    EXPECT_EQ(currentText(dlg->streets()), u("Садовая  (Центральный)"));
    street("Мос");
    EXPECT_EQ(currentText(dlg->streets()), u("Московская  (Заречный)"));
    // Backspace positions too.
    for (int i = 0; i < 3; ++i) QTest::keyClick(dlg->findname, Qt::Key_Backspace);
    EXPECT_EQ(dlg->streets().currentIndex(), 0);
    typeInto(dlg->findname, "Лит");
    EXPECT_EQ(currentText(dlg->streets()), u("Литейная  (Центральный)"));
}

TEST_F(SearchDom, NumberWithLetter) {
    street("Сад");
    fields("12", "а");
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Садовая д.12А"), u("Садовая д.12а")}));
    EXPECT_EQ(dlg->houses().currentIndex(), 0);
    EXPECT_TRUE(dlg->showkey->isEnabled());
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(dlg->focusWidget(), dlg->findList);
}

TEST_F(SearchDom, TypedNumberWithLetterIsReadAsTheNumber) {
    street("Сад");
    fields(" 12а ");
    dlg->findkey->click();
    EXPECT_EQ(found(),
              QStringList({u("Садовая д.12"), u("Садовая д.12А"), u("Садовая д.12а"),
                           u("Садовая д.12Б"), u("Садовая д.12/3"), u("Садовая д.12 кор.2")}));
    EXPECT_EQ(dlg->domnom->text(), u("12а")) << "fields are trimmed";
}

TEST_F(SearchDom, NearestHousesOnTheSameSide) {
    street("Неч");
    fields("13");
    answers = {kNoHouseNearest};
    dlg->findkey->click();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(found(), QStringList({u("Нечётная д.11"), u("Нечётная д.15")}));
    EXPECT_TRUE(dlg->showkey->isEnabled());

    street("Лит");
    fields("13", "Б");
    answers = {kNoHouseNearest};
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Литейная д.13А"), u("Литейная д.13 кор.2"),
                                    u("Литейная д.11"), u("Литейная д.15")}));
}

TEST_F(SearchDom, AllOnTheStreetEmptiesTheFields) {
    street("Неч");
    fields("13", "в", "1", "4");
    answers = {kNoHouseAll};
    dlg->findkey->click();
    for (QLineEdit* e : {dlg->domnom, dlg->dombykv, dlg->domdrob, dlg->domkor})
        EXPECT_TRUE(e->text().isEmpty());
    EXPECT_EQ(found().size(), 6);
    EXPECT_EQ(found().first(), u("Нечётная д.9"));
    EXPECT_EQ(questions, 1);
}

TEST_F(SearchDom, CancelledQuestionLeavesNothing) {
    street("Неч");
    fields("13");
    answers = {kNoHouseCancel};
    dlg->findkey->click();
    EXPECT_TRUE(found().isEmpty());
    EXPECT_FALSE(dlg->showkey->isEnabled());
    EXPECT_TRUE(city.messages.isEmpty());
}

TEST_F(SearchDom, NoHouseMessages) {
    street("Пуст");
    fields("");
    dlg->findkey->click();
    EXPECT_EQ(city.messages, QStringList({u("Не найдено ни одного дома")}));
    EXPECT_EQ(questions, 0) << "no field typed: no question";

    // Nearest asked on a street without houses: the same message.
    fields("3");
    answers = {kNoHouseNearest};
    dlg->findkey->click();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(city.messages.size(), 2);
}

TEST_F(SearchDom, ContextModeFindsStreets) {
    dlg->findmode[1]->click();
    EXPECT_FALSE(dlg->streetlist->isVisible());
    EXPECT_TRUE(dlg->findstreetList->isVisible());
    EXPECT_TRUE(dlg->findstreetkey->isEnabled());
    EXPECT_FALSE(dlg->findkey->isEnabled()) << "no street found yet";
    EXPECT_FALSE(dlg->showstreetkey->isEnabled());

    dlg->findname->setText(u("нет такой"));
    dlg->findstreetkey->click();
    EXPECT_EQ(city.messages, QStringList({u("Не найдено ни одной улицы")}));
    EXPECT_FALSE(dlg->findkey->isEnabled());

    dlg->findname->setText(u("ЕЛОЧ"));
    dlg->findstreetkey->click();
    EXPECT_EQ(listTexts(dlg->foundStreets()), QStringList({u("Улицы Ёлочная")}));
    EXPECT_EQ(dlg->focusWidget(), dlg->findstreetList);
    EXPECT_TRUE(dlg->findkey->isEnabled());
    fields("1");
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Ёлочная д.1")}));

    dlg->findmode[0]->click();
    EXPECT_TRUE(dlg->streetlist->isVisible());
    EXPECT_TRUE(dlg->showstreetkey->isEnabled());
    EXPECT_FALSE(dlg->findstreetkey->isEnabled());
}

TEST_F(SearchDom, EnterMovesThroughTheFields) {
    dlg->activateWindow();
    dlg->findname->setFocus();
    pressEnter(dlg->findname);
    EXPECT_EQ(dlg->focusWidget(), dlg->domnom);
    pressEnter(dlg->domnom);
    EXPECT_EQ(dlg->focusWidget(), dlg->dombykv);
    pressEnter(dlg->dombykv);
    EXPECT_EQ(dlg->focusWidget(), dlg->domdrob);
    pressEnter(dlg->domdrob);
    EXPECT_EQ(dlg->focusWidget(), dlg->domkor);
    pressEnter(dlg->domkor);
    EXPECT_EQ(dlg->focusWidget(), dlg->findkey);
    QTest::keyClick(dlg->findname, Qt::Key_Down);
    EXPECT_EQ(dlg->focusWidget(), dlg->streetlist);
}

TEST_F(SearchDom, StreetListKeysTakeTheStreetIntoTheTextBox) {
    fields("12", "а");
    dlg->streetlist->setFocus();
    QTest::keyClick(dlg->streetlist, Qt::Key_Down);
    EXPECT_EQ(dlg->findname->text(), dlg->streets().text(1));
    EXPECT_TRUE(dlg->domnom->text().isEmpty());
    EXPECT_TRUE(dlg->dombykv->text().isEmpty());
    // Enter takes the street as any key does, then shows it: the dialog opens
    // again on that street.
    QTest::keyClick(dlg->streetlist, Qt::Key_Down);
    fields("12");
    pressEnter(dlg->streetlist);
    ASSERT_EQ(city.shown.size(), 1u);
    EXPECT_EQ(dlg->findname->text(), dlg->streets().text(2));
    EXPECT_TRUE(dlg->domnom->text().isEmpty());
}

TEST_F(SearchDom, ShowHouseMarksAndHides) {
    city.state.marksList.add({kStreets, 2});
    street("Сад");
    fields("12", "", "3");
    dlg->findkey->click();
    dlg->showkey->click();
    ASSERT_EQ(city.shown.size(), 1u);
    EXPECT_EQ(city.shown[0], (Shown{kHouses, city.streetHouses[kSadovaya][4]}));
    EXPECT_FALSE(dlg->isVisible());
    ASSERT_EQ(city.state.marksList.upperBound(), 1) << "emptied, then the house added";
    EXPECT_EQ(city.state.marksList.entries[1].recordNumber, city.streetHouses[kSadovaya][4]);

    // The dialog keeps its state for the next opening.
    dlg->show();
    EXPECT_EQ(dlg->domdrob->text(), u("3"));
    EXPECT_EQ(found(), QStringList({u("Садовая д.12/3")}));
    EXPECT_EQ(currentText(dlg->streets()), u("Садовая  (Центральный)"));

    // With remselfind 0 the marks grow.
    city.state.settings.remselfind = 0;
    pressEnter(dlg->findList);
    EXPECT_EQ(city.state.marksList.upperBound(), 2);
    EXPECT_EQ(city.shown.size(), 2u);
}

TEST_F(SearchDom, ShowStreet) {
    street("Лит");
    dlg->showstreetkey->click();
    ASSERT_EQ(city.shown.size(), 1u);
    EXPECT_EQ(city.shown[0], (Shown{kStreets, kLiteynaya}));
    EXPECT_FALSE(dlg->isVisible());

    dlg->show();
    dlg->findmode[1]->click();
    dlg->findname->setText(u("Павл"));
    dlg->findstreetkey->click();
    pressEnter(dlg->findstreetList);
    ASSERT_EQ(city.shown.size(), 2u);
    EXPECT_EQ(city.shown[1], (Shown{kStreets, kPavlovskaya}));
}

TEST_F(SearchDom, BrokenHouseListStillSearches) {
    street("Бер");
    fields("");
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Береговая д.5")}));
    // The part past the house index is named, once however often it is read.
    dlg->findkey->click();
    EXPECT_EQ(found(), QStringList({u("Береговая д.5")}));
    ASSERT_EQ(city.messages.size(), 1);
    EXPECT_EQ(city.messages[0].count(u("dm.cl2")), 1) << city.messages[0].toStdString();
    EXPECT_TRUE(city.messages[0].contains(u("5000"))) << city.messages[0].toStdString();
}

// A street name file cut short and a house number file with a stray byte: the
// streets and houses that can be read are listed and each file is named once.
TEST_F(SearchDom, DamagedStreetAndHouseFilesAreNamedOnce) {
    city.truncate("ul.cls", 68 * (kStreetCount - 1) + 10);  // Береговая's name is gone
    QFile numbers(city.path("dm.cls"));
    ASSERT_TRUE(numbers.open(QIODevice::Append));
    numbers.write("7");
    numbers.close();
    for (int i = 0; i < 2; ++i) {
        open();
        EXPECT_EQ(dlg->streets().count(), kStreetCount);
        street("Сад");
        fields("12", "а");
        dlg->findkey->click();
        EXPECT_EQ(found(), QStringList({u("Садовая д.12А"), u("Садовая д.12а")}));
    }
    const QString all = city.messages.join(u'\n');
    EXPECT_EQ(all.count(u("ul.cls")), 1) << all.toStdString();
    EXPECT_EQ(all.count(u("dm.cls")), 1) << all.toStdString();
    EXPECT_EQ(questions, 0);
}

TEST_F(SearchDom, MissingHouseFileIsReported) {
    QFile::remove(city.path("dm.cls"));
    street("Сад");
    fields("12");
    dlg->findkey->click();
    ASSERT_EQ(city.messages.size(), 1);
    EXPECT_TRUE(city.messages[0].contains(u("dm.cls")));
    EXPECT_EQ(questions, 0);
    EXPECT_FALSE(dlg->showkey->isEnabled());
}

TEST_F(SearchDom, StreetClassOutOfRangeKeepsTheDialogUsable) {
    city.state.catalogue.streetClass = kClassCount + 3;
    open();
    EXPECT_EQ(dlg->streets().count(), 0);
    typeInto(dlg->findname, "Сад");
    fields("12");
    dlg->findkey->click();
    dlg->showstreetkey->click();
    dlg->findmode[1]->click();
    dlg->findstreetkey->click();
    EXPECT_TRUE(city.shown.empty());
    EXPECT_EQ(city.messages, QStringList({u("Не найдено ни одной улицы")}));
}

TEST_F(SearchDom, EmptyStreetClass) {
    city.truncate("ul.cl2", 0);
    open();
    EXPECT_EQ(dlg->streets().count(), 0);
    typeInto(dlg->findname, "С");
    EXPECT_EQ(dlg->streets().currentIndex(), -1);
    fields("1");
    dlg->findkey->click();
    EXPECT_EQ(questions, 0);
    EXPECT_TRUE(city.shown.empty());
}

TEST(NoDom, ButtonsGiveTheChoice) {
    const std::pair<const char*, int16_t> cases[] = {
        {"allonstreet", kNoHouseAll}, {"blij", kNoHouseNearest}, {"cancelkey", kNoHouseCancel}};
    for (const auto& [button, choice] : cases) {
        NoDomDialog d;
        EXPECT_EQ(d.windowTitle(), u("Не найдено ни одного дома"));
        QTimer::singleShot(0, &d, [&d, name = button] {
            d.findChild<QPushButton*>(QLatin1String(name))->click();
        });
        d.exec();
        EXPECT_EQ(d.noHouseChoice(), choice) << button;
    }
    NoDomDialog closed;
    QTimer::singleShot(0, &closed, [&closed] { closed.reject(); });
    closed.exec();
    EXPECT_EQ(closed.noHouseChoice(), kNoHouseCancel);
}
