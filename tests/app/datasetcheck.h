// Checks the file tests share: a folder's files as bytes, and a dataset
// that opens and draws.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <map>

#include "view/redraw.h"

namespace urbica::testing {

inline QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// Every file of a folder and its subfolders by relative path. A write
// killed before its end may leave its unfinished temporary file
// ("NAME.XXXXXX") beside the file it was to replace; those are left out.
inline std::map<QString, QByteArray> folder(const QString& dir) {
    std::map<QString, QByteArray> files;
    const QRegularExpression unfinished(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(dir).relativeFilePath(path);
        if (name.contains(unfinished) && QFile::exists(path.left(path.size() - 7))) continue;
        files[name] = bytes(path);
    }
    return files;
}

// The dataset opens and its start view draws.
inline void opensAndDraws(const QString& dir) {
    AppState s;
    s.settings.dataDirectory = dir + QDir::separator();
    ASSERT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
    readIconTable(s.settings.dataDirectory, s.tables);
    MapBoxes boxes;
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage}) b->resize(300, 240);
    boxes.map.backColor = s.settings.mapBackColor;
    boxes.nav.resize(204, 204);
    s.settings.allwindow = 1;
    s.view.viewLeft = float(s.catalogue.startX);
    s.view.viewTop = float(s.catalogue.startY);
    s.view.viewWidth = float(s.catalogue.startWidth);
    ViewHooks hooks;
    redrawView(s, boxes, hooks, false);
    // Something is drawn: not one colour all over.
    const QImage& picture = boxes.originalpage.image();
    ASSERT_FALSE(picture.isNull());
    bool drawn = false;
    for (int y = 0; y < picture.height() && !drawn; y += 4)
        for (int x = 0; x < picture.width() && !drawn; ++x)
            drawn = picture.pixel(x, y) != picture.pixel(0, 0);
    EXPECT_TRUE(drawn);
}

}  // namespace urbica::testing
