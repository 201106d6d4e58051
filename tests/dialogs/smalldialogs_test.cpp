#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "dialogs/about.h"
#include "dialogs/setinter.h"

using namespace urbica;

TEST(InterfaceSettings, BoxesFollowTheSettingsAndCancelChangesNothing) {
    Settings s;
    s.allwindow = 1;
    s.asctoclose = 0;
    s.aboutshow = 1;
    s.savesizecheck = -1;  // only 1 ticks a box
    s.addselfind = 0;
    s.remselfind = 1;
    const Settings before = s;
    {
        InterfaceSettingsDialog d(s);
        EXPECT_EQ(d.windowTitle(), "Настройка интерфейса карты");
        EXPECT_TRUE(d.allwindow->isChecked());
        EXPECT_FALSE(d.asctoclose->isChecked());
        EXPECT_FALSE(d.savesizecheck->isChecked());
        EXPECT_TRUE(d.remselfind->isChecked());
        EXPECT_EQ(d.addselfind->text(), "Добавлять при поиске объект в список пометок");
        for (QCheckBox* b : {d.allwindow, d.asctoclose, d.aboutshow, d.addselfind}) b->click();
        d.cancelkey->click();
        EXPECT_EQ(d.dialogAccepted(), 0);
    }
    EXPECT_EQ(s.allwindow, before.allwindow);
    EXPECT_EQ(s.asctoclose, before.asctoclose);
    EXPECT_EQ(s.aboutshow, before.aboutshow);
    EXPECT_EQ(s.savesizecheck, -1);
    EXPECT_EQ(s.addselfind, before.addselfind);

    InterfaceSettingsDialog d(s);
    d.allwindow->click();
    d.addselfind->click();
    EXPECT_EQ(d.scalebar->text(), "Масштабная линейка");
    EXPECT_EQ(d.labelsapart->text(), "Подписи без наложений");
    EXPECT_TRUE(d.scalebar->isChecked()) << "on by default";
    EXPECT_FALSE(d.labelsapart->isChecked()) << "off by default";
    EXPECT_EQ(d.smoothing->text(), "Сглаживание");
    EXPECT_FALSE(d.smoothing->isChecked()) << "off by default";
    d.scalebar->click();
    d.labelsapart->click();
    d.smoothing->click();
    d.okkey->click();
    EXPECT_EQ(d.dialogAccepted(), -1);
    EXPECT_EQ(s.allwindow, 0);
    EXPECT_EQ(s.addselfind, 1);
    EXPECT_EQ(s.savesizecheck, 0) << "stored as the box shows it";
    EXPECT_EQ(s.remselfind, 1);
    EXPECT_EQ(s.scaleBar, 0);
    EXPECT_EQ(s.labelsApart, 1);
    EXPECT_EQ(s.smoothing, 1);
}

TEST(About, MenuFormAndSplash) {
    EXPECT_EQ(versionText(2, 0), "Версия 2.00");
    EXPECT_EQ(versionText(1, 12), "Версия 1.012");
    AboutDialog menu(-1, nullptr, false);
    EXPECT_FALSE(menu.findChild<QPushButton*>("okkey")->isHidden());
    EXPECT_EQ(menu.findChild<QPushButton*>("okkey")->text(), "Ok");
    EXPECT_TRUE(menu.findChild<QLabel*>("WaitMsg")->isHidden());
    EXPECT_EQ(menu.findChild<QLabel*>("version")->text(),
              versionText(AboutDialog::majorVersion(), AboutDialog::minorVersion()));

    AboutDialog splash(0, nullptr, false);
    EXPECT_TRUE(splash.findChild<QPushButton*>("okkey")->isHidden());
    QLabel* wait = splash.findChild<QLabel*>("WaitMsg");
    EXPECT_FALSE(wait->isHidden());
    EXPECT_EQ(wait->text(), "Идёт загрузка основных данных, пожалуйста подождите.");
}

TEST(About, NamesTheDataSourceWithItsLicenceLinkOnlyWhenGiven) {
    AboutDialog demo(-1, nullptr, false);
    EXPECT_TRUE(demo.findChild<QLabel*>("datasource")->isHidden()) << "the demo city: nothing";
    AboutDialog imported(-1, nullptr, false);
    imported.setDataSource("© участники OpenStreetMap", "ODbL 1.0",
                           "https://www.openstreetmap.org/copyright");
    QLabel* source = imported.findChild<QLabel*>("datasource");
    EXPECT_FALSE(source->isHidden());
    EXPECT_TRUE(source->text().contains("© участники OpenStreetMap, лицензия ODbL 1.0"));
    EXPECT_TRUE(source->text().contains("<a href=\"https://www.openstreetmap.org/copyright\">"));
}
