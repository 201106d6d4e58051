// urbica-render: draws one view of a dataset into a picture file, exactly as
// a map box of the given outer size shows it (marks left out).
//
//   urbica-render --data DIR --view LEFT TOP WIDTH --size WxH --out FILE
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QRegularExpression>
#include <cstdio>

#include "view/appstate.h"
#include "view/geoextras.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

int fail(const QString& text) {
    std::fprintf(stderr, "urbica-render: %s\n", qPrintable(text));
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription("Draws one view of a city dataset into a PNG or BMP file.");
    p.addHelpOption();
    p.addOption({"data", "Dataset folder.", "DIR"});
    p.addOption({"view", "Left, top and width of the view in map units.", "LEFT TOP WIDTH"});
    p.addOption({"size", "Outer size of the map box in pixels.", "WxH", "800x600"});
    p.addOption({"out", "Picture file (.png or .bmp).", "FILE"});
    p.addOption({"program-dir", "Folder with the overview marker pictures.", "DIR"});
    p.addOption({"labels-apart", "Skip labels that would overlap one already drawn."});
    p.addOption({"no-scale-bar", "Leave the scale bar out."});
    p.process(app);
    if (!p.isSet("data") || !p.isSet("out")) return fail("--data and --out are required");

    AppState s;
    s.programDirectory = p.isSet("program-dir") ? p.value("program-dir") : QDir::currentPath();
    s.settings.dataDirectory = QDir(p.value("data")).absolutePath() + QDir::separator();
    if (!readCatalogue(s.settings, s.catalogue, s.tables))
        return fail(QStringLiteral("%1: %2").arg(p.value("data"), noDataMessage()));
    if (s.catalogue.gridExtent == 0) return fail("no catalogue in " + p.value("data"));
    readIconTable(s.settings.dataDirectory, s.tables);
    readDatasetExtras(s);  // the projection gives the scale bar its metres
    s.settings.labelsApart = p.isSet("labels-apart") ? 1 : 0;
    s.settings.scaleBar = p.isSet("no-scale-bar") ? 0 : 1;

    const QStringList size = p.value("size").split('x');
    bool okW = false, okH = false;
    const int w = size.size() == 2 ? size[0].toInt(&okW) : 0;
    const int h = size.size() == 2 ? size[1].toInt(&okH) : 0;
    if (!okW || !okH || w <= 4 || h <= 4 || w > 20000 || h > 20000)
        return fail("--size must be WxH with both above 4 and at most 20000");

    // The view: three numbers after --view, or the start view of the dataset.
    s.view.viewLeft = float(s.catalogue.startX);
    s.view.viewTop = float(s.catalogue.startY);
    s.view.viewWidth = float(s.catalogue.startWidth);
    if (p.isSet("view")) {
        QStringList nums = p.value("view").split(QRegularExpression("[ ,]+"), Qt::SkipEmptyParts);
        const QStringList rest = p.positionalArguments();
        for (const QString& r : rest) nums << r;
        if (nums.size() < 3) return fail("--view needs LEFT TOP WIDTH");
        bool a = false, b = false, c = false;
        s.view.viewLeft = nums[0].toFloat(&a);
        s.view.viewTop = nums[1].toFloat(&b);
        s.view.viewWidth = nums[2].toFloat(&c);
        if (!a || !b || !c || s.view.viewWidth <= 0) return fail("--view needs three numbers");
    }

    MapBoxes boxes;
    boxes.map.resize(w, h);
    boxes.map.backColor = s.settings.mapBackColor;
    boxes.hidepage.resize(w, h);
    boxes.originalpage.resize(w, h);
    boxes.nav.resize(204, 204);
    s.settings.allwindow = 1;  // no overview in a picture of the map alone
    ViewHooks hooks;

    QElapsedTimer t;
    t.start();
    redrawView(s, boxes, hooks, true);
    const double ms = t.nsecsElapsed() / 1e6;

    QImageWriter writer(p.value("out"));
    if (!writer.write(boxes.originalpage.image()))
        return fail(
            QStringLiteral("cannot write %1: %2").arg(p.value("out"), writer.errorString()));
    std::printf("%.1f ms: view %.0f %.0f %.0f, %g units per pixel, %dx%d\n", ms,
                double(s.view.viewLeft), double(s.view.viewTop), double(s.view.viewWidth),
                double(s.view.unitsPerPixel), w, h);
    return 0;
}
