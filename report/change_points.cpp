#include "report/change_points.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

const size_t kMinSegmentBuilds = 2;

namespace {

// The sum of distances from the median of any range of the values, in
// O(log n): a persistent tree over the values' ranks, one version per
// prefix, whose nodes count the values and add them up. Without it each
// candidate segment would need a sort, and ten thousand builds would take
// minutes.
class RangeL1Cost {
public:
    explicit RangeL1Cost(const std::vector<std::int64_t>& values)
    {
        const size_t n = values.size();
        std::vector<size_t> order(n);
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&values](size_t a, size_t b) { return values[a] < values[b]; });
        sortedValues_.resize(n);
        std::vector<size_t> rank(n);
        for (size_t r = 0; r < n; ++r) {
            rank[order[r]] = r;
            sortedValues_[r] = values[order[r]];
        }
        prefix_.assign(n + 1, 0);
        for (size_t i = 0; i < n; ++i)
            prefix_[i + 1] = prefix_[i] + values[i];
        nodes_.reserve(1 + n * (2 + static_cast<size_t>(std::log2(n + 1.0))));
        nodes_.push_back(Node{});  // node 0: the empty tree, its own children
        roots_.push_back(0);
        for (size_t i = 0; i < n; ++i)
            roots_.push_back(Insert(roots_.back(), 0, n, rank[i], values[i]));
        size_ = n;
    }

    // Sum of |v - median| over values[first, last): the largest half less
    // the smallest half, which any median between the middle two gives.
    // One walk down the tree finds the smallest half and the value after
    // it, the median of an odd count.
    std::int64_t Cost(size_t first, size_t last) const
    {
        const size_t count = last - first;
        const size_t half = count / 2;
        const std::int64_t total = prefix_[last] - prefix_[first];
        std::int64_t next = 0;
        const std::int64_t smallest = SumSmallest(first, last, half, &next);
        return total - 2 * smallest - (count % 2 == 1 ? next : 0);
    }

private:
    struct Node {
        std::int32_t left = 0;
        std::int32_t right = 0;
        std::int32_t count = 0;
        std::int64_t sum = 0;
    };

    std::int32_t Insert(std::int32_t from, size_t low, size_t high, size_t rank,
                        std::int64_t value)
    {
        Node copy = nodes_[static_cast<size_t>(from)];
        copy.count += 1;
        copy.sum += value;
        if (high - low > 1) {
            const size_t middle = low + (high - low) / 2;
            if (rank < middle)
                copy.left = Insert(copy.left, low, middle, rank, value);
            else
                copy.right = Insert(copy.right, middle, high, rank, value);
        }
        nodes_.push_back(copy);
        return static_cast<std::int32_t>(nodes_.size() - 1);
    }

    // The sum of the `count` smallest of values[first, last), and in *next
    // the value that follows them in order (count < last - first).
    std::int64_t SumSmallest(size_t first, size_t last, size_t count, std::int64_t* next) const
    {
        std::int32_t older = roots_[first];
        std::int32_t newer = roots_[last];
        size_t low = 0;
        size_t high = size_;
        std::int64_t sum = 0;
        // Ranks are distinct, so the walk ends at the one leaf that holds
        // the (count + 1)-th value.
        size_t wanted = count + 1;
        while (high - low > 1) {
            const Node& a = nodes_[static_cast<size_t>(newer)];
            const Node& b = nodes_[static_cast<size_t>(older)];
            const Node& aLeft = nodes_[static_cast<size_t>(a.left)];
            const Node& bLeft = nodes_[static_cast<size_t>(b.left)];
            const size_t inLeft = static_cast<size_t>(aLeft.count - bLeft.count);
            const size_t middle = low + (high - low) / 2;
            if (wanted <= inLeft) {
                newer = a.left;
                older = b.left;
                high = middle;
            } else {
                sum += aLeft.sum - bLeft.sum;
                wanted -= inLeft;
                newer = a.right;
                older = b.right;
                low = middle;
            }
        }
        *next = sortedValues_[low];
        return sum;
    }

    std::vector<Node> nodes_;
    std::vector<std::int32_t> roots_;
    std::vector<std::int64_t> sortedValues_;
    std::vector<std::int64_t> prefix_;
    size_t size_ = 0;
};

}  // namespace

std::vector<size_t> OptimalL1Segments(const std::vector<std::int64_t>& values,
                                      std::int64_t penaltyPerSegment, size_t minSegment)
{
    const size_t n = values.size();
    if (minSegment == 0 || n < 2 * minSegment)
        return {};
    const RangeL1Cost cost(values);
    const std::int64_t unreachable = std::numeric_limits<std::int64_t>::max();
    // best[t]: the least cost of values[0, t) cut into whole segments.
    std::vector<std::int64_t> best(n + 1, unreachable);
    std::vector<size_t> lastStart(n + 1, 0);
    best[0] = 0;
    // Each start still in the running, with the cost of its last segment
    // as last measured: a segment's sum of distances only grows as it
    // takes in more values, so that figure is a floor under its cost at
    // any later end. A start whose floor already exceeds the best found
    // needs no measuring: that spares most of the work where the level
    // never moves and pruning keeps every start.
    // Pruned minSegment - 1 ends late: a start ruled out at t could
    // still win before t + minSegment, since t cannot start a segment
    // that ends there.
    const size_t notYet = std::numeric_limits<size_t>::max();
    struct Candidate {
        size_t start;
        std::int64_t reach;
        size_t ruledOutAt;
    };
    std::vector<Candidate> candidates;
    for (size_t t = minSegment; t <= n; ++t) {
        const size_t newest = t - minSegment;
        if (best[newest] != unreachable)
            candidates.push_back(Candidate{newest, best[newest], notYet});
        std::int64_t least = unreachable;
        size_t leastStart = 0;
        // Of equal costs the earlier start wins, whatever the order of
        // measuring.
        auto measure = [&](Candidate& candidate) {
            candidate.reach = best[candidate.start] + cost.Cost(candidate.start, t);
            if (candidate.reach < least ||
                (candidate.reach == least && candidate.start < leastStart)) {
                least = candidate.reach;
                leastStart = candidate.start;
            }
        };
        // The last end's winner first: most often it wins again, and its
        // cost lets the others be passed over.
        const auto previous = std::lower_bound(
            candidates.begin(), candidates.end(), lastStart[t - 1],
            [](const Candidate& candidate, size_t start) { return candidate.start < start; });
        const bool hasPrevious =
            previous != candidates.end() && previous->start == lastStart[t - 1];
        if (hasPrevious)
            measure(*previous);
        for (auto it = candidates.begin(); it != candidates.end(); ++it) {
            if (hasPrevious && it == previous)
                continue;
            if (it->reach > least || (it->reach == least && it->start > leastStart))
                continue;
            measure(*it);
        }
        if (least == unreachable)
            continue;
        best[t] = least + penaltyPerSegment;
        lastStart[t] = leastStart;
        // PELT: a start whose cost to t already exceeds the optimum at t
        // is beaten by t for every later end, since cutting a segment
        // never adds to the sum of distances; a floor above it is enough.
        std::vector<Candidate> kept;
        kept.reserve(candidates.size());
        for (Candidate candidate : candidates) {
            if (candidate.ruledOutAt != notYet && t >= candidate.ruledOutAt + minSegment - 1)
                continue;
            if (candidate.ruledOutAt == notYet && candidate.reach > best[t])
                candidate.ruledOutAt = t;
            kept.push_back(candidate);
        }
        candidates.swap(kept);
    }
    std::vector<size_t> starts;
    for (size_t t = n; t > 0; t = lastStart[t])
        if (lastStart[t] > 0)
            starts.push_back(lastStart[t]);
    std::reverse(starts.begin(), starts.end());
    return starts;
}

std::int64_t TrendPenalty(const std::vector<std::int64_t>& values)
{
    if (values.size() < 2)
        return 1;
    std::vector<std::int64_t> steps;
    for (size_t i = 1; i < values.size(); ++i)
        steps.push_back(values[i] > values[i - 1] ? values[i] - values[i - 1]
                                                  : values[i - 1] - values[i]);
    const double medianStep = MedianOfRange(steps, 0, steps.size());
    // A difference of two normal values has sqrt(2) sigma; its median
    // absolute value is 0.6745 of that.
    const double sigma = medianStep / (0.6745 * std::sqrt(2.0));
    const double penalty = 2.0 * sigma * std::log(static_cast<double>(values.size()));
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::llround(penalty)));
}

double MedianOfRange(const std::vector<std::int64_t>& values, size_t first, size_t last)
{
    std::vector<std::int64_t> part(values.begin() + static_cast<std::ptrdiff_t>(first),
                                   values.begin() + static_cast<std::ptrdiff_t>(last));
    if (part.empty())
        return 0.0;
    std::sort(part.begin(), part.end());
    const size_t middle = part.size() / 2;
    if (part.size() % 2 == 1)
        return static_cast<double>(part[middle]);
    return (static_cast<double>(part[middle - 1]) + static_cast<double>(part[middle])) / 2.0;
}
