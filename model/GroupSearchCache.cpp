#include "model/GroupSearchCache.h"

#include "model/GroupSearch.h"

#include <utility>

std::shared_ptr<const TGroupSearch> TGroupSearchCache::Find(const std::vector<int> &key) const
{
    const auto known = Searches.find(key);
    return known == Searches.end() ? nullptr : known->second;
}

void TGroupSearchCache::Keep(std::vector<int> key, std::shared_ptr<const TGroupSearch> search)
{
    const long size = search->CellCount() + 1;
    Bytes += size * size + static_cast<long>(key.size() * sizeof(int));
    if (Bytes > MaxBytes) {
        Searches.clear();
        Bytes = 0;
    }
    Searches.emplace(std::move(key), std::move(search));
}
