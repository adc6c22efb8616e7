#pragma once

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace kestrova {

// List order where a name's clock reading cannot tell it: the local clock shows
// the hour before the autumn change twice, and two names may read the same
// second. There the moment of filing decides, which the file's modification
// time keeps. It is read only for those few names, so a long list costs nothing more.
class FilingOrder {
public:
    // The key a name with the moment key `momentKey` sorts by: that key, or for a
    // reading the local clock shows twice, the first reading of that stretch, so
    // the stretch sorts as one. -1 (no moment) stays -1.
    qint64 sortKey(qint64 momentKey);

    // The moment the file was filed, in milliseconds since the epoch (UTC); -1
    // when it cannot be read.
    static qint64 filedAt(const QString& path);

    // After a sort by sortKey: each run of one key (not -1) and more than one entry
    // ordered by filing, stably, so equal moments keep the order they had.
    template <typename Iterator, typename KeyOf, typename PathOf>
    static void orderRunsByFiling(Iterator begin, Iterator end, KeyOf keyOf, PathOf pathOf);

private:
    // Readings from `first` up to `end` that the local clock shows twice, as keys.
    struct Stretch {
        qint64 first = 0;
        qint64 end = 0;
    };
    const std::vector<Stretch>& stretchesOf(int year);

    std::map<int, std::vector<Stretch>> years_;
    int lastYear_ = -1;
    const std::vector<Stretch>* last_ = nullptr;
};

template <typename Iterator, typename KeyOf, typename PathOf>
void FilingOrder::orderRunsByFiling(Iterator begin, Iterator end, KeyOf keyOf, PathOf pathOf) {
    using Entry = typename std::iterator_traits<Iterator>::value_type;
    while (begin != end) {
        const qint64 key = keyOf(*begin);
        const Iterator runEnd =
            std::find_if(std::next(begin), end, [&](const Entry& entry) { return keyOf(entry) != key; });
        if (key >= 0 && std::next(begin) != runEnd) {
            std::vector<std::pair<qint64, Entry>> filed;
            for (Iterator entry = begin; entry != runEnd; ++entry) {
                filed.emplace_back(filedAt(pathOf(*entry)), std::move(*entry));
            }
            std::stable_sort(filed.begin(), filed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            std::transform(filed.begin(), filed.end(), begin,
                           [](auto& entry) { return std::move(entry.second); });
        }
        begin = runEnd;
    }
}

} // namespace kestrova
