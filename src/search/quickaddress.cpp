#include "search/quickaddress.h"

#include <set>

#include "dataset/sametexts.h"
#include "search/addressline.h"
#include "search/addressmatch.h"

namespace urbica {

std::vector<ListModel::Item> quickFindAddresses(const NameContext& ctx, const QString& text,
                                                QString* error) {
    std::vector<ListModel::Item> out;
    if (!looksLikeAddress(text)) return out;
    const FileCache::Pass pass(ctx.files);
    const std::shared_ptr<const AddressIndex> index = AddressIndex::cached(ctx, error);
    if (!index) return out;
    std::set<int64_t> listed;
    std::vector<int32_t> streets;  // the street of each entry
    for (const AddressHit& hit : findAddress(*index, text, error)) {
        if (!itemKeyFits(hit.houseClass, hit.houseRecord)) continue;
        const int32_t key = itemKey(hit.houseClass, hit.houseRecord);
        if (!listed.insert(key).second) continue;
        const QString name = objectName(ctx, hit.houseClass, hit.houseRecord, true);
        if (name.isEmpty()) continue;
        out.push_back({name, key});
        streets.push_back(hit.streetRecord);
        if (int(out.size()) >= kQuickAddressLimit) break;
    }
    // Houses of streets of one name in several districts read the same: each
    // carries its street's parent, as the street list shows them.
    const int sc = ctx.catalogue.streetClass;
    std::set<QString> texts;
    bool same = false;
    for (const ListModel::Item& item : out) same = !texts.insert(item.text).second || same;
    if (!same) return out;
    std::vector<NamedObject> parents(out.size());
    if (sc >= 1 && sc <= ctx.tables.classCount()) {
        const ClassNames streetNames(ctx, sc);
        for (size_t i = 0; i < out.size() && streetNames.ok(); ++i) {
            const NameRecord r = streetNames.nameRecord(streets[i]);
            parents[i] = {r.parentClass, r.parentRecord};
        }
    }
    distinguishSameTexts(ctx, out, parents);
    return out;
}

}  // namespace urbica
