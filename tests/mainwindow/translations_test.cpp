#include "mainwindow/translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

TEST(QtTexts, ButtonsAndFileDialogsAreRussian) {
    ASSERT_TRUE(urbica::installQtTranslations(*qApp)) << "Qt's Russian translations are missing";
    QMessageBox box(QMessageBox::Question, QStringLiteral("Urbica"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')),
              QStringLiteral("Отмена"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Save As"));
}
