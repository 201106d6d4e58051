#include "search/searchmetro.h"

#include <gtest/gtest.h>

#include <QCheckBox>

#include "guifixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class SearchMetro : public ::testing::Test {
protected:
    GuiCity city;
    std::unique_ptr<SearchMetroDialog> dlg;

    void open() {
        dlg = std::make_unique<SearchMetroDialog>(city.env());
        dlg->show();
    }
    void SetUp() override { open(); }
    QString current() { return currentText(dlg->stations()).trimmed(); }
};

}  // namespace

TEST_F(SearchMetro, OpensInListModeWithEveryStation) {
    EXPECT_EQ(dlg->windowTitle(), u("Поиск станции метро"));
    EXPECT_TRUE(dlg->listfind->isChecked());
    EXPECT_EQ(dlg->stations().count(), 5);
    EXPECT_EQ(current(), u("Арбатская"));
    EXPECT_TRUE(dlg->showkey->isEnabled());
    EXPECT_FALSE(dlg->findkey->isEnabled());
}

TEST_F(SearchMetro, TypingAndEnterInListModeShows) {
    typeInto(dlg->findname, "мо");
    EXPECT_EQ(current(), u("Московская"));
    dlg->findname->setText(u("Я"));
    typeInto(dlg->findname, "я");
    EXPECT_EQ(current(), u("Садовая")) << "beyond every station: the last";
    dlg->findname->clear();
    typeInto(dlg->findname, "Парк");
    pressEnter(dlg->findname);
    ASSERT_EQ(city.shown.size(), 1u);
    EXPECT_EQ(city.shown[0], (Shown{kStations, 4}));
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    ASSERT_EQ(city.state.marksList.upperBound(), 1);
    EXPECT_EQ(city.state.marksList.entries[1].classNumber, kStations);
}

TEST_F(SearchMetro, MousePressCopiesTheStationAsListed) {
    typeInto(dlg->findname, "мо");
    const int i = dlg->stations().currentIndex();
    const QRect r = dlg->metrolist->visualRect(dlg->stations().index(i));
    QTest::mousePress(dlg->metrolist->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(dlg->findname->text(), dlg->stations().text(i)) << "blank padding kept";
    EXPECT_GT(dlg->findname->text().size(), u("Московская").size());
    EXPECT_EQ(current(), u("Московская"));
}

TEST_F(SearchMetro, EnterInContextModeSearches) {
    dlg->listfind->click();
    EXPECT_FALSE(dlg->listfind->isChecked());
    EXPECT_EQ(dlg->stations().count(), 0);
    EXPECT_TRUE(dlg->findkey->isEnabled());
    typeInto(dlg->findname, "ЁЛК");
    pressEnter(dlg->findname);
    EXPECT_TRUE(city.shown.empty()) << "Enter searches here";
    ASSERT_EQ(dlg->stations().count(), 1);
    EXPECT_EQ(current(), u("Ёлки"));
    EXPECT_EQ(dlg->focusWidget(), dlg->metrolist);
    dlg->findname->setText(u("елк"));
    pressEnter(dlg->findname);
    EXPECT_EQ(dlg->stations().count(), 1) << "Е finds Ё";

    dlg->findname->setText(u("ская"));
    dlg->findkey->click();
    EXPECT_EQ(listTexts(dlg->stations()), QStringList({u("Арбатская"), u("Московская")}));
    dlg->findname->clear();
    dlg->findkey->click();
    EXPECT_EQ(dlg->stations().count(), 5) << "an empty text lists every station";

    dlg->findname->setText(u("Нет такой"));
    dlg->findkey->click();
    EXPECT_EQ(city.messages, QStringList({u("Не найдено ни одной станции метро")}));
    EXPECT_FALSE(dlg->showkey->isEnabled());
    dlg->showkey->click();
    EXPECT_TRUE(city.shown.empty());

    dlg->listfind->click();
    EXPECT_EQ(dlg->stations().count(), 5);
}

TEST_F(SearchMetro, MetroClassOutOfRangeOrMissingFiles) {
    city.state.catalogue.metroClass = kClassCount + 1;
    open();
    EXPECT_EQ(dlg->stations().count(), 0);
    pressEnter(dlg->findname);
    dlg->showkey->click();
    EXPECT_TRUE(city.shown.empty());
    EXPECT_TRUE(city.messages.isEmpty());

    city.state.catalogue.metroClass = kStations;
    QFile::remove(city.path("mt.cls"));
    open();
    EXPECT_EQ(dlg->stations().count(), 0);
    ASSERT_EQ(city.messages.size(), 1);
    EXPECT_TRUE(city.messages[0].contains(u("mt.cls")));
}
