// A name stored with its letters folded is shown whole on the map's label
// and in the info line when the dataset keeps the whole name (urbica.dnm).
#include <gtest/gtest.h>

#include "dataset/displaynames.h"
#include "navfixture.h"
#include "view/geoextras.h"
#include "view/pick.h"

using namespace urbica;

TEST(WholeNames, LabelAndInfoLineShowTheNameInItsOwnLetters) {
    DatasetData d = testcity::city();
    d.classNames[2][0].name = QStringLiteral("Park Zwyciestwa");  // as the importer folds it
    ObjectType& area = d.tables.types[1];
    area.labelMode = 1;
    area.labelScale = 1000;
    for (bool kept : {false, true}) {
        d.displayNames.clear();
        if (kept) d.displayNames = {{2, 1, QString::fromUtf8("Park Zwycięstwa")}};
        testcity::City c(d);
        ASSERT_TRUE(c.ok);
        EXPECT_TRUE(readDatasetExtras(c.s).isEmpty());
        const QString shown = kept ? QString::fromUtf8("Park Zwycięstwa") : "Park Zwyciestwa";
        std::vector<PictureBox::TextCall> texts;
        c.boxes.map.recordTexts(&texts);
        c.show(0, 0, 4000);
        c.boxes.map.recordTexts(nullptr);
        bool labelled = false;
        for (const PictureBox::TextCall& t : texts) labelled = labelled || t.text == shown;
        QStringList drawn;
        for (const PictureBox::TextCall& t : texts) drawn << t.text;
        EXPECT_TRUE(labelled) << "label " << shown.toStdString() << " among "
                              << drawn.join(u'|').toStdString();
        ASSERT_EQ(pickAt(c.s, c.boxes, c.hooks, 2700, 1200).found, 1);
        EXPECT_TRUE(c.infoLine.endsWith(shown)) << c.infoLine.toStdString();
    }
}
