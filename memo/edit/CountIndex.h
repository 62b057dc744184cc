#pragma once
// A sequence of small counts with fast prefix sums, insertion and removal:
// how many display lines each logical line of a wrapped document takes.
// Blocks of a bounded size keep every operation near O(sqrt n) in the worst
// case and cheap in practice (a million lines is a few hundred blocks).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kp::memo {

class CountIndex {
public:
    explicit CountIndex(size_t blockSize = 1024);

    size_t Size() const { return size_; }
    uint64_t Total() const { return total_; }
    uint32_t At(size_t index) const;

    // Replaces `remove` counts starting at `first` with `insert`.
    void Replace(size_t first, size_t remove, std::span<const uint32_t> insert);
    void Assign(std::span<const uint32_t> counts);

    // The sum of the counts before index.
    uint64_t PrefixSum(size_t index) const;
    // The index whose range [PrefixSum(i), PrefixSum(i) + At(i)) holds
    // position; position past the total gives the last index. `start`
    // receives PrefixSum of the result.
    size_t Find(uint64_t position, uint64_t& start) const;

private:
    struct Block {
        std::vector<uint32_t> counts;
        uint64_t sum = 0;
    };
    void Rebalance(size_t block);
    // Running totals per block, rebuilt after a change on the next query, so
    // queries search them instead of walking every block.
    void RefreshTotals() const;

    size_t blockSize_;
    std::vector<Block> blocks_;
    size_t size_ = 0;
    uint64_t total_ = 0;
    mutable std::vector<uint64_t> sumBefore_;  // per block: the counts before it
    mutable std::vector<size_t> indexBefore_;  // per block: the entries before it
    mutable bool totalsStale_ = true;
};

}  // namespace kp::memo
