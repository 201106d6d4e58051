// Fills the dataset from what the reading passes collected: the frame and
// grid, the tables, the map objects of every layer, the houses and the name
// records, and the catalogue.
#pragma once

#include <QRect>
#include <vector>

#include "cityframe.h"
#include "collector.h"
#include "geometry.h"
#include "osmimport.h"

namespace urbica::osmimport {

// Hands the memory freed by a finished phase back to the system.
void releaseFreedMemory();

class Builder {
public:
    Builder(Collector& c, ImportResult& r) : c_(c), r_(r), d_(r.data) {}
    // The frame and grid of the map and the tables; false when the extract
    // has nothing to show or is far larger than a city.
    bool prepare(QString* error);
    // Everything else. Given a folder, each house class is written there as
    // it is filled and each layer and the other classes once all names are
    // made, then the tables and the rest, and each part is freed once
    // written (result.data keeps the tables and the small files' contents);
    // else the whole dataset stays in result.data.
    // The files are handed to a thread that writes them while the next are
    // made; build returns once all are written.
    bool build(QString* error, const QString& out = {});

private:
    bool buildParts(QString* error);
    // Fits each layer's cell sizes and, given a folder, writes its point pool
    // and grid files; error gets why it could not.
    void writeLayerGeometry(QString* error);

    Collector& c_;
    ImportResult& r_;
    DatasetData& d_;
    FileTarget out_{QString()};  // where the parts are written; no folder keeps them
    Frame frame_;
    GridChoice grid_;
    int16_t placeTypeFirst_ = 0;  // the type of the first of Collector::placeTypes
    CityArea area_;
    std::vector<House> houses_;
    std::vector<HouseFields> houseFields_;  // the fields of each number text read, in turn
    // The records of the house class being filled: a house and its street's record.
    struct HouseRecord {
        int32_t house;
        int32_t street;
    };
    std::vector<HouseRecord> classHouses_;
    struct DistrictRing {
        std::vector<QPoint> ring;
        QRect box;
        int32_t record;
        double area = 0;  // square metres
    };
    std::vector<DistrictRing> districtRings_;
    std::vector<std::vector<ObjectRefData>> pendingObjects_;  // map objects made of each pending

    int32_t districtOf(osmium::Location where) const;
    int32_t nearestPlace(QPoint p, double within) const;
    // In streetparents.cpp: the parent of every street.
    int32_t cityRecord_ = 0;
    QString cityName_;  // the city's own name, for the catalogue; empty when unknown
    void findCity();
    int32_t districtHolding(const std::vector<QPoint>& points) const;
    std::vector<QPoint> pointsOf(size_t pending) const;
    void placeStreetsInDistricts();
    void splitStreet(size_t street);
    void makeDistrictRings();
    void makeObjects();
    // The place of each object of a kind, with its named object and map object.
    void makeKindPlaces();
    void findCityArea();
    void makeCatalogue(const GridChoice& grid);
    // The objects of each layer and the records of each class, for the report;
    // with a folder, the layers and the classes other than houses are written.
    bool finishParts(QString* error);
    // In names.cpp: houses of the addresses, then the name records.
    void makeHouses();
    bool makeNames(QString* error);
    void makeFixedNames();
    bool makeStreets(QString* error);
    bool addHouses(const Street& street, int32_t record, NameData& nd, int16_t& houseClass,
                   QString* error);
    // As many house classes as the streets' houses fill.
    void makeHouseClasses();
    // The filled house class becomes records (written or kept), and is emptied.
    bool finishHouseClass(int16_t cls, QString* error);
    // The place of each entry of houseFields_ in the order of house numbers
    // (equal fields, equal places), so that a street's houses sort on integers.
    std::vector<int32_t> fieldRank_;
    void rankHouseFields();
    std::vector<int32_t> housesInOrder(const Street& street) const;
    // The names of a record that find it besides the shown one, each once.
    void addDisplayName(int16_t cls, int32_t record, const QString& shown, const QString& whole);
    void addSearchNames(int16_t cls, int32_t record, const QString& shown,
                        const std::vector<QString>& names);
    void nameHouseClasses();
};

}  // namespace urbica::osmimport
