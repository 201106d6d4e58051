// What the commands of urbica-find share: the output streams and the way a
// found object is printed, the arguments after a command, and the session
// that holds the opened dataset.
#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "dataset/approximate.h"
#include "dataset/georef.h"
#include "dataset/names.h"
#include "search/addressmatch.h"
#include "view/appstate.h"

namespace urbica::findtool {

// Strict UTF-8: a text with a byte sequence that is not UTF-8 gives nothing.
std::optional<QString> decodeUtf8(const QByteArray& bytes);

struct Output {
    QIODevice& out;
    QIODevice& err;
    bool json = false;

    void error(const QString& text) { err.write((text + u'\n').toUtf8()); }
    void line(const QString& text) { out.write((text + u'\n').toUtf8()); }
};

// One printed object.
struct Found {
    QString name;
    int classNumber = 0;
    int32_t record = 0;
    bool placed = false;
    double x = 0, y = 0;  // centre of the object's box, map units
    bool hasLatLon = false;
    double lat = 0, lon = 0;   // the same centre in degrees (WGS 84)
    bool approximate = false;  // a house placed along an interpolation line
};

// Fields printed before the object (the line and match of geocode, the
// distance and kind of near), as (JSON key, text); "line" and "distance_m"
// go into JSON as numbers.
using Prefix = QList<std::pair<QString, QString>>;

// The arguments after the command: options with a value, flags, and the rest.
struct Args {
    QStringList positional;
    std::multimap<QString, QString> options;
    QStringList flags;
    QString bad;  // the reason when the arguments cannot be used

    bool has(const char* flag) const { return flags.contains(QLatin1String(flag)); }
    QString value(const char* key) const {
        auto it = options.find(QLatin1String(key));
        return it == options.end() ? QString() : it->second;
    }
};
Args parseArgs(const QStringList& list, const QStringList& valued, const QStringList& flags);
// A whole number from 1; none otherwise.
std::optional<int64_t> parseCount(const QString& s);
// Degrees (a comma or a point before the decimals) within -limit .. limit; none otherwise.
std::optional<double> parseDegrees(QString s, double limit);

struct Session {
    AppState state;
    Output& o;
    std::optional<GeoReference> geo;  // when the dataset records its projection
    QSet<qint64> approximate;         // houses placed by estimate (approximateKey)
    // Files found damaged while results were described (a layer's object file),
    // each named once at the end; the run then ends with status 2.
    mutable QStringList damaged;

    NameContext ctx() const { return state.names(); }
    bool classInTable(int c) const { return c >= 1 && c <= state.tables.classCount(); }
    bool streetClassOk();
    // False, with the file named, when a file of the class is missing, short
    // or not a whole number of records.
    bool classFilesOk(int classNumber);

    // The object's name and the centre of its box (with latitude and
    // longitude when the projection is known).
    Found describe(int classNumber, int32_t record) const;
    void print(const Found& f, const Prefix& prefix = {});
    // The address index of the run, built on first use; null after a message.
    std::shared_ptr<const AddressIndex> addressIndex();

    int house(const QStringList& rest);
    int text(const QStringList& rest);
    int metro(const QStringList& rest);
    int address(const QStringList& rest);
    int geocode(const QStringList& rest, QIODevice& in);
    int addresses(const QStringList& rest);
    int at(const QStringList& rest);
    int near(const QStringList& rest);
};

}  // namespace urbica::findtool
