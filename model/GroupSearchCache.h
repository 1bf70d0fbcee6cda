#pragma once

// TGroupSearchCache: searches of border groups kept for the boards that
// show those groups again.

#include <map>
#include <memory>
#include <vector>

class TGroupSearch;

// A search is known by what it was given (the solver makes the key); the
// cache holds a few megabytes and, past them, forgets everything and starts
// again, so what it holds depends only on what was kept.
class TGroupSearchCache
{
public:
    // The search kept under `key`, or null.
    std::shared_ptr<const TGroupSearch> Find(const std::vector<int> &key) const;
    void Keep(std::vector<int> key, std::shared_ptr<const TGroupSearch> search);

private:
    static constexpr long MaxBytes = 8L << 20;
    std::map<std::vector<int>, std::shared_ptr<const TGroupSearch>> Searches;
    long Bytes = 0;
};
