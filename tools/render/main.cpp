// urbica-render: draws one view of a dataset into a picture file, exactly as
// a map box of the given outer size shows it (marks left out).
//
//   urbica-render --data DIR [--view "LEFT TOP WIDTH"] [--size WxH] [--scale-factor F]
//                 [--smooth] --out FILE
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "commandline.h"
#include "dataset/filecheck.h"
#include "view/appstate.h"
#include "view/geoextras.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

// The problems of the files of the layers drawn, each once.
QStringList damagedLayerFiles(const AppState& s) {
    QStringList damaged;
    for (size_t i = 1; i < s.tables.drawOrder.size(); ++i) {
        const int l = s.tables.drawOrder[i];
        if (l < 1 || l > s.tables.layerCount() || !s.tables.layers[size_t(l)].shown) continue;
        const QString problem =
            layerFilesProblem(s.settings.dataDirectory, s.tables.layers[size_t(l)]);
        if (!problem.isEmpty() && !damaged.contains(problem)) damaged << problem;
    }
    return damaged;
}

void addOptions(cli::CommandLine& p) {
    p.addOption({QStringLiteral("data")}, QStringLiteral("КАТАЛОГ"),
                QStringLiteral("каталог набора данных"));
    p.addOption({QStringLiteral("view")}, QStringLiteral("\"ЛЕВО ВЕРХ ШИРИНА\""),
                QStringLiteral("левый край, верх и ширина вида в единицах карты (по умолчанию "
                               "начальный вид набора)"));
    p.addOption({QStringLiteral("size")}, QStringLiteral("ШxВ"),
                QStringLiteral("внешний размер поля карты в точках (по умолчанию 800x600)"));
    p.addOption({QStringLiteral("out")}, QStringLiteral("ФАЙЛ"),
                QStringLiteral("файл картинки (.png или .bmp)"));
    p.addOption({QStringLiteral("program-dir")}, QStringLiteral("КАТАЛОГ"),
                QStringLiteral("каталог с картинками метки обзорной карты"));
    p.addFlag({QStringLiteral("labels-apart")},
              QStringLiteral("пропускать подписи, которые легли бы на уже нарисованные"));
    p.addFlag({QStringLiteral("no-scale-bar")}, QStringLiteral("без масштабной линейки"));
    p.addOption({QStringLiteral("scale-factor")}, QStringLiteral("F"),
                QStringLiteral("точек устройства на точку (от 1 до 8, как на экране высокой "
                               "плотности; --size остаётся в точках)"));
    p.addFlag({QStringLiteral("smooth")},
              QStringLiteral("сглаженные линии и значки, подписи с ореолом цвета фона"));
    p.addOption({QStringLiteral("repeat")}, QStringLiteral("N"),
                QStringLiteral("нарисовать вид ещё N раз и вывести медиану их времён "
                               "(для замеров)"));
}

// With --repeat N: the view drawn N more times, the median time of those in
// milliseconds (the first picture pays for opening files and loading fonts).
double medianRedrawMs(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int times) {
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer t;
        t.start();
        redrawView(s, boxes, hooks, false);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Reads the dataset of --data into s and names its damaged files on the
// error output (the layers drawn from them in damaged). The message when
// there is nothing to draw.
QString openDataset(const cli::CommandLine& p, AppState& s, QStringList& damaged) {
    s.programDirectory = p.isSet("program-dir") ? p.value("program-dir") : QDir::currentPath();
    s.settings.dataDirectory = QDir(p.value("data")).absolutePath() + QDir::separator();
    if (!readCatalogue(s.settings, s.catalogue, s.tables))
        return QStringLiteral("%1: %2").arg(p.value("data"), noDataMessage());
    if (s.catalogue.gridExtent == 0)
        return QStringLiteral("в %1 нет каталога").arg(p.value("data"));
    readIconTable(s.settings.dataDirectory, s.tables);
    // The projection gives the scale bar its metres; a damaged one is named
    // once and the picture is drawn without it.
    for (const QString& problem : readDatasetExtras(s))
        cli::standardError()(QStringLiteral("urbica-render: ") + problem);
    // A layer drawn from a missing or damaged file is named; the picture is
    // still made of what can be read, and the status says it is not whole.
    damaged = damagedLayerFiles(s);
    for (const QString& problem : damaged)
        cli::standardError()(QStringLiteral("urbica-render: ") + problem);
    return {};
}

// The outer size of --size (800x600 without it); false when it does not read.
bool readSize(const cli::CommandLine& p, int& w, int& h) {
    const QStringList size =
        (p.isSet("size") ? p.value("size") : QStringLiteral("800x600")).split('x');
    bool okW = false, okH = false;
    w = size.size() == 2 ? size[0].toInt(&okW) : 0;
    h = size.size() == 2 ? size[1].toInt(&okH) : 0;
    return okW && okH && w > 4 && h > 4 && w <= 20000 && h <= 20000;
}

// The view: three numbers after --view, or the start view of the dataset.
// The message when --view does not read.
QString readView(const cli::CommandLine& p, AppState& s) {
    s.view.viewLeft = float(s.catalogue.startX);
    s.view.viewTop = float(s.catalogue.startY);
    s.view.viewWidth = float(s.catalogue.startWidth);
    if (!p.isSet("view")) return {};
    QStringList nums = p.value("view").split(QRegularExpression("[ ,]+"), Qt::SkipEmptyParts);
    const QStringList rest = p.positional();
    for (const QString& r : rest) nums << r;
    if (nums.size() < 3) return QStringLiteral("--view: нужны ЛЕВО ВЕРХ ШИРИНА");
    bool a = false, b = false, c = false;
    s.view.viewLeft = nums[0].toFloat(&a);
    s.view.viewTop = nums[1].toFloat(&b);
    s.view.viewWidth = nums[2].toFloat(&c);
    if (!a || !b || !c || s.view.viewWidth <= 0)
        return QStringLiteral("--view: нужны три числа, ширина больше нуля");
    return {};
}

// Draws the view into a map box of w x h points at ratio device pixels a
// point and writes it to --out. The message when the file is not written.
QString drawAndWrite(const cli::CommandLine& p, AppState& s, int w, int h, double ratio) {
    MapBoxes boxes;
    setPictureRatio(boxes, ratio);
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
    const int repeat = p.isSet("repeat") ? std::clamp(p.value("repeat").toInt(), 1, 1000) : 0;
    if (repeat > 0)
        std::printf("%.1f ms: median of %d more pictures\n",
                    medianRedrawMs(s, boxes, hooks, repeat), repeat);

    QImageWriter writer(p.value("out"));
    // PNG with zlib's fastest level: Qt takes a quality of 80 for level 1. The
    // file is about a third larger than at the default level and written in
    // about half the time.
    if (QFileInfo(p.value("out")).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        writer.setQuality(80);
    if (!writer.write(boxes.originalpage.image()))
        return QStringLiteral("не удалось записать %1: %2")
            .arg(p.value("out"), writer.errorString());
    std::printf("%.1f ms: view %.0f %.0f %.0f, %g units per pixel, %dx%d\n", ms,
                double(s.view.viewLeft), double(s.view.viewTop), double(s.view.viewWidth),
                double(s.view.unitsPerPixel), w, h);
    if (ratio != 1)
        std::printf("%g device pixels a pixel: picture %dx%d\n", ratio,
                    boxes.originalpage.image().width(), boxes.originalpage.image().height());
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    cli::CommandLine p(
        QStringLiteral("urbica-render"),
        QStringLiteral("--data КАТАЛОГ [--view \"ЛЕВО ВЕРХ ШИРИНА\"] [--size ШxВ] --out ФАЙЛ"),
        QStringLiteral("Рисует один вид набора данных в файл PNG или BMP так, как его показало "
                       "бы поле карты этого размера."));
    addOptions(p);
    // The arguments are read before the window system is set up, so that
    // --help and a wrong option need none.
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (const auto status = p.parse(args)) return *status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const auto fail = [&p](const QString& text) { return p.fail(text); };
    // A dataset or a file that fails: said without the usage hint, same status.
    const auto broken = [](const QString& text) {
        cli::standardError()(QStringLiteral("urbica-render: ") + text);
        return cli::kBadUse;
    };
    if (!p.isSet("data") || !p.isSet("out"))
        return fail(QStringLiteral("нужны ключи --data и --out"));

    AppState s;
    QStringList damaged;
    if (const QString error = openDataset(p, s, damaged); !error.isEmpty()) return broken(error);
    s.settings.labelsApart = p.isSet("labels-apart") ? 1 : 0;
    s.settings.scaleBar = p.isSet("no-scale-bar") ? 0 : 1;
    s.settings.smoothing = p.isSet("smooth") ? 1 : 0;
    double ratio = 1;
    if (p.isSet("scale-factor")) {
        bool ok = false;
        ratio = p.value("scale-factor").toDouble(&ok);
        if (!ok || !(ratio >= 1 && ratio <= 8))
            return fail(QStringLiteral("--scale-factor: нужно число от 1 до 8"));
    }
    int w = 0, h = 0;
    if (!readSize(p, w, h))
        return fail(QStringLiteral("--size: нужно ШxВ, обе стороны больше 4 и не больше 20000"));
    if (const QString error = readView(p, s); !error.isEmpty()) return fail(error);
    if (const QString error = drawAndWrite(p, s, w, h, ratio); !error.isEmpty())
        return broken(error);
    return damaged.isEmpty() ? 0 : cli::kBadUse;
}
