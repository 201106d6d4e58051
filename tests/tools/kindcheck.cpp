// Checks the searches of what is near against an OpenStreetMap extract: for
// the five kinds of the table with the most objects in the extract and five
// points (the middle of those objects' extent and four points halfway to its
// corners), the five nearest objects of the kind computed here from the
// extract (a node at its place, an area at the mean of its outer points)
// must be the first five that "urbica-find near" lists for the kind's word.
//
//   urbica_kindcheck EXTRACT DATASET   (DATASET imported from EXTRACT)
//
// Prints one line per kind and point and a summary; status 0 when all agree.
#include <QBuffer>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <map>
#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/visitor.hpp>

#include "dataset/georef.h"
#include "dataset/kinds.h"
#include "findtool.h"

using namespace urbica;

namespace {

struct Place {
    double lat = 0, lon = 0;
};

class Truth : public osmium::handler::Handler {
public:
    std::map<int, std::vector<Place>> ofKind;

    void node(const osmium::Node& n) {
        if (n.location().valid()) note(n.tags(), {n.location().lat(), n.location().lon()});
    }
    void area(const osmium::Area& a) {
        double lat = 0, lon = 0;
        int64_t count = 0;
        for (const osmium::OuterRing& ring : a.outer_rings()) {
            std::vector<osmium::Location> pts;
            for (const osmium::NodeRef& nr : ring)
                if (nr.location().valid() && (pts.empty() || pts.back() != nr.location()))
                    pts.push_back(nr.location());
            if (pts.size() > 1 && pts.front() == pts.back()) pts.pop_back();
            if (pts.size() < 3) continue;
            for (const osmium::Location& l : pts) lat += l.lat(), lon += l.lon(), ++count;
        }
        if (count > 0) note(a.tags(), {lat / double(count), lon / double(count)});
    }

private:
    void note(const osmium::TagList& t, Place p) {
        for (int k : KindTable::builtIn().kindsOfTags([&t](const char* key) { return t[key]; }))
            ofKind[k].push_back(p);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 3) {
        out << "usage: urbica_kindcheck EXTRACT DATASET\n";
        return 2;
    }
    Truth truth;
    {
        using Manager = osmium::area::MultipolygonManager<osmium::area::Assembler>;
        osmium::TagsFilter filter{true};
        Manager manager{osmium::area::Assembler::config_type{}, filter};
        osmium::io::File file{argv[1]};
        osmium::relations::read_relations(file, manager);
        using Index =
            osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
        Index index;
        osmium::handler::NodeLocationsForWays<Index> locations{index};
        locations.ignore_errors();
        osmium::io::Reader reader{file};
        osmium::apply(reader, locations, truth,
                      manager.handler([&truth](osmium::memory::Buffer&& buffer) {
                          osmium::apply(buffer, truth);
                      }));
        reader.close();
    }
    std::vector<std::pair<size_t, int>> kinds;
    // A word that names this kind alone.
    auto wordOf = [](int k) {
        for (const QString& w : KindTable::builtIn().kinds()[size_t(k)].words)
            if (KindTable::builtIn().kindsOfWord(w).size() == 1) return w.toLower();
        return QString();
    };
    for (const auto& [k, places] : truth.ofKind)
        if (places.size() >= 5 && !wordOf(k).isEmpty()) kinds.emplace_back(places.size(), k);
    std::sort(kinds.rbegin(), kinds.rend());
    if (kinds.size() > 5) kinds.resize(5);

    int cases = 0, agreed = 0;
    for (const auto& [count, k] : kinds) {
        const Kind& kind = KindTable::builtIn().kinds()[size_t(k)];
        const std::vector<Place>& places = truth.ofKind[k];
        double s = 90, n = -90, w = 180, e = -180;
        for (const Place& p : places)
            s = std::min(s, p.lat), n = std::max(n, p.lat), w = std::min(w, p.lon),
            e = std::max(e, p.lon);
        const double mlat = (s + n) / 2, mlon = (w + e) / 2;
        const Place points[] = {{mlat, mlon},
                                {(mlat + n) / 2, (mlon + w) / 2},
                                {(mlat + n) / 2, (mlon + e) / 2},
                                {(mlat + s) / 2, (mlon + w) / 2},
                                {(mlat + s) / 2, (mlon + e) / 2}};
        for (const Place& at : points) {
            std::vector<double> want;
            for (const Place& p : places)
                want.push_back(distanceMetres(at.lat, at.lon, p.lat, p.lon));
            std::sort(want.begin(), want.end());
            want.resize(5);
            QByteArray outBytes, errBytes, inBytes;
            QBuffer fout(&outBytes), ferr(&errBytes), fin(&inBytes);
            fout.open(QIODevice::WriteOnly);
            ferr.open(QIODevice::WriteOnly);
            fin.open(QIODevice::ReadOnly);
            const QList<QByteArray> args{"--data",
                                         argv[2],
                                         "--json",
                                         "near",
                                         wordOf(k).toUtf8(),
                                         "--at",
                                         QByteArray::number(at.lat, 'f', 7),
                                         QByteArray::number(at.lon, 'f', 7),
                                         "--limit",
                                         "5"};
            findtool::run(args, fin, fout, ferr);
            std::vector<double> got;
            for (const QByteArray& line : outBytes.split('\n'))
                if (!line.isEmpty())
                    got.push_back(
                        QJsonDocument::fromJson(line).object().value(u"distance_m").toDouble());
            // The same five distances, in order, within a metre (map points are whole metres).
            bool same = got.size() == want.size();
            for (size_t i = 0; same && i < got.size(); ++i)
                same = std::abs(got[i] - want[i]) <= 1.0;
            ++cases;
            agreed += same ? 1 : 0;
            out << kind.tag << "\t" << kind.label << "\t" << QString::number(at.lat, 'f', 5) << ","
                << QString::number(at.lon, 'f', 5) << "\t" << (same ? "ok" : "DIFFERENT");
            if (!same) {
                out << "\twant";
                for (double d : want) out << " " << QString::number(d, 'f', 1);
                out << "\tgot";
                for (double d : got) out << " " << QString::number(d, 'f', 1);
            }
            out << "\n";
        }
    }
    out << "agreed " << agreed << " of " << cases << "\n";
    return agreed == cases && cases > 0 ? 0 : 1;
}
