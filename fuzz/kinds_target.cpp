// The kinds file of a dataset (urbica.knd) and a query for a kind of place
// (the same bytes as UTF-8 text): a file reads whole or not at all, what it
// gives writes back to the same places, and a query names only kinds of the
// table and finds names one typo away only among its candidates.
#include "dataset/kindplaces.h"
#include "dataset/kinds.h"
#include "dataset/names.h"
#include "dataset/typomatch.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

int fuzzKinds(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString problem;
    const auto places = KindPlaces::parse(bytes, QStringLiteral("urbica.knd"), &problem);
    FUZZ_CHECK(places->present() == problem.isEmpty());
    if (places->present()) {
        FUZZ_CHECK(places->count() == bytes.count('\n') - 1);
        // The places of the first line's kind, written again and read back.
        std::vector<KindPlace> all;
        for (const QByteArray& line : bytes.split('\n').mid(1)) {
            const QString tag = QString::fromUtf8(line.left(line.indexOf('\t')));
            if (!line.isEmpty() && all.empty()) all = places->ofKind(tag);
        }
        for (const KindPlace& p : all) {
            FUZZ_CHECK(p.layer >= 1 && p.object >= 1);
            FUZZ_CHECK((p.classNumber == 0) == (p.record == 0));
        }
        const auto again = KindPlaces::parse(encodeKindPlaces(all), QStringLiteral("again"));
        FUZZ_CHECK(again->present() && again->count() <= qsizetype(all.size()));
    } else {
        FUZZ_CHECK(places->count() == 0);
    }
    const QString text = QString::fromUtf8(bytes);
    const KindTable& table = KindTable::builtIn();
    for (int k : table.kindsNamed(text)) FUZZ_CHECK(k >= 0 && size_t(k) < table.kinds().size());
    // A text is never one typo away from itself, and the index offers every name that matches.
    const QString key = searchKey(text);
    const TypoQuery q = typoQuery(key);
    std::vector<QStringView> words;
    FUZZ_CHECK(!typoMatches(key, q, words));
    if (q.usable && !key.isEmpty()) {
        QString changed = key;
        changed[changed.size() / 2] = QChar(u'Ъ');
        const std::vector<qsizetype> one{0, changed.size()};
        const TypoIndex index(changed, one);
        if (typoMatches(changed, q, words))
            FUZZ_CHECK(index.candidates(q) == std::vector<int32_t>{0});
    }
    return 0;
}

}  // namespace urbica::fuzz
