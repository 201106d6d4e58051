#include "cityimport.h"

#include <QElapsedTimer>

#include "addresscheck.h"
#include "dataset/writerlock.h"
#include "osmimport.h"
#include "output.h"

namespace urbica::osmimport {

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

double seconds(const QElapsedTimer& timer) { return double(timer.elapsed()) / 1000; }

// Builds the dataset and writes it part by part, then the program files,
// under the lock, which the caller
// keeps holding.
bool writeCity(const CityImport& job, const ImportCallbacks& on, ImportResult& result,
               WriterLock& lock, QString& error) {
    if (!writeImported(result, job.dataDirectory, &error, &lock, kDatasetLockWaitMs, on.waiting))
        return false;
    return job.programDirectory.isEmpty() ||
           writeProgramFiles(job.programDirectory, job.dataDirectory, &error);
}

}  // namespace

CityImportResult importCity(const CityImport& job, const ImportCallbacks& on) {
    CityImportResult out;
    ImportResult result;
    if (!readOsm(job.osmFile, result, &out.error, on.progress, on.cancel)) return out;
    out.nodes = result.report.nodes;
    out.readSeconds = result.report.seconds;
    if (on.writing) on.writing();
    if (on.cancel && *on.cancel) {
        out.error = importCancelledText();
        return out;
    }
    QElapsedTimer phase;
    phase.start();
    WriterLock lock;
    if (!writeCity(job, on, result, lock, out.error)) return out;
    out.writeSeconds = seconds(phase);
    phase.restart();
    out.report = reportLines(result);
    dropWrittenData(result);  // the check reads the files

    if (on.checking) on.checking();
    AddressCheck found = checkAddresses(job.dataDirectory, result.addresses);
    if (!found.error.isEmpty()) {
        out.error = u("проверка адресов: %1").arg(found.error);
        return out;
    }
    out.checkSeconds = seconds(phase);
    out.addresses = found.total;
    out.addressesFound = found.found;
    out.missing = std::move(found.missing);
    out.stations = metroStations(job.dataDirectory);
    return out;
}

QString addressCheckLine(const CityImportResult& r) {
    const double share =
        r.addresses ? 100.0 * double(r.addressesFound) / double(r.addresses) : 100.0;
    return u("адреса, найденные поиском дома: %1 из %2 (%3%)")
        .arg(r.addressesFound)
        .arg(r.addresses)
        .arg(share, 0, 'f', 1);
}

QString stationsLine(const CityImportResult& r) {
    // A long list is shown by its beginning.
    const QString shown = r.stations.size() > 30 ? r.stations.mid(0, 30).join(u(", ")) + u(", …")
                                                 : r.stations.join(u(", "));
    return u("станции метро (%1): %2").arg(r.stations.size()).arg(shown);
}

QString missingAddressLine(const MissingAddress& a) {
    return u("  не найден: %1, %2 (улица «%3», номер «%4»)")
        .arg(a.street, a.houseNumber, a.streetName, a.house.number);
}

}  // namespace urbica::osmimport
