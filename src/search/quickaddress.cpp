#include "search/quickaddress.h"

#include <set>

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
    for (const AddressHit& hit : findAddress(*index, text, error)) {
        if (!itemKeyFits(hit.houseClass, hit.houseRecord)) continue;
        const int32_t key = itemKey(hit.houseClass, hit.houseRecord);
        if (!listed.insert(key).second) continue;
        const QString name = objectName(ctx, hit.houseClass, hit.houseRecord, true);
        if (name.isEmpty()) continue;
        out.push_back({name, key});
        if (int(out.size()) >= kQuickAddressLimit) break;
    }
    return out;
}

}  // namespace urbica
