#include "memo/edit/CountIndex.h"

#include <algorithm>

namespace kp::memo {

CountIndex::CountIndex(size_t blockSize) : blockSize_(std::max<size_t>(blockSize, 2)) {}

void CountIndex::RefreshTotals() const
{
    if (!totalsStale_) return;
    sumBefore_.resize(blocks_.size());
    indexBefore_.resize(blocks_.size());
    uint64_t sum = 0;
    size_t index = 0;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        sumBefore_[b] = sum;
        indexBefore_[b] = index;
        sum += blocks_[b].sum;
        index += blocks_[b].counts.size();
    }
    totalsStale_ = false;
}

uint32_t CountIndex::At(size_t index) const
{
    if (index >= size_) return 0;
    RefreshTotals();
    const size_t b = static_cast<size_t>(std::upper_bound(indexBefore_.begin(), indexBefore_.end(), index) -
                                         indexBefore_.begin()) - 1;
    return blocks_[b].counts[index - indexBefore_[b]];
}

void CountIndex::Assign(std::span<const uint32_t> counts)
{
    totalsStale_ = true;
    blocks_.clear();
    size_ = counts.size();
    total_ = 0;
    for (size_t at = 0; at < counts.size(); at += blockSize_) {
        Block block;
        const size_t n = std::min(blockSize_, counts.size() - at);
        block.counts.assign(counts.begin() + at, counts.begin() + at + n);
        for (uint32_t c : block.counts) block.sum += c;
        total_ += block.sum;
        blocks_.push_back(std::move(block));
    }
}

void CountIndex::Replace(size_t first, size_t remove, std::span<const uint32_t> insert)
{
    totalsStale_ = true;
    first = std::min(first, size_);
    remove = std::min(remove, size_ - first);
    if (blocks_.empty()) blocks_.emplace_back();

    // Find the block holding `first` (or the end of the last block).
    size_t b = 0;
    size_t local = first;
    while (b + 1 < blocks_.size() && local >= blocks_[b].counts.size()) {
        local -= blocks_[b].counts.size();
        ++b;
    }
    // Remove, possibly across blocks.
    size_t left = remove;
    size_t rb = b;
    size_t rlocal = local;
    while (left > 0 && rb < blocks_.size()) {
        Block& block = blocks_[rb];
        const size_t n = std::min(left, block.counts.size() - rlocal);
        for (size_t i = 0; i < n; ++i) block.sum -= block.counts[rlocal + i];
        for (size_t i = 0; i < n; ++i) total_ -= block.counts[rlocal + i];
        block.counts.erase(block.counts.begin() + rlocal, block.counts.begin() + rlocal + n);
        left -= n;
        ++rb;
        rlocal = 0;
    }
    size_ -= remove;
    // Insert into block b at local.
    Block& target = blocks_[b];
    target.counts.insert(target.counts.begin() + std::min(local, target.counts.size()), insert.begin(),
                         insert.end());
    for (uint32_t c : insert) {
        target.sum += c;
        total_ += c;
    }
    size_ += insert.size();
    // Drop emptied blocks (keep one) and split oversized ones.
    blocks_.erase(std::remove_if(blocks_.begin(), blocks_.end(),
                                 [](const Block& block) { return block.counts.empty(); }),
                  blocks_.end());
    if (blocks_.empty()) return;
    for (size_t i = 0; i < blocks_.size(); ++i)
        if (blocks_[i].counts.size() > 2 * blockSize_) Rebalance(i);
}

void CountIndex::Rebalance(size_t index)
{
    Block whole = std::move(blocks_[index]);
    std::vector<Block> parts;
    for (size_t at = 0; at < whole.counts.size(); at += blockSize_) {
        Block block;
        const size_t n = std::min(blockSize_, whole.counts.size() - at);
        block.counts.assign(whole.counts.begin() + at, whole.counts.begin() + at + n);
        for (uint32_t c : block.counts) block.sum += c;
        parts.push_back(std::move(block));
    }
    blocks_.erase(blocks_.begin() + index);
    blocks_.insert(blocks_.begin() + index, std::make_move_iterator(parts.begin()),
                   std::make_move_iterator(parts.end()));
}

uint64_t CountIndex::PrefixSum(size_t index) const
{
    if (index >= size_) return total_;
    RefreshTotals();
    const size_t b = static_cast<size_t>(std::upper_bound(indexBefore_.begin(), indexBefore_.end(), index) -
                                         indexBefore_.begin()) - 1;
    uint64_t sum = sumBefore_[b];
    const Block& block = blocks_[b];
    for (size_t i = 0; i < index - indexBefore_[b]; ++i) sum += block.counts[i];
    return sum;
}

size_t CountIndex::Find(uint64_t position, uint64_t& start) const
{
    start = 0;
    if (blocks_.empty() || size_ == 0) return 0;
    if (position >= total_) {
        start = total_ - blocks_.back().counts.back();
        return size_ - 1;
    }
    RefreshTotals();
    const size_t b = static_cast<size_t>(std::upper_bound(sumBefore_.begin(), sumBefore_.end(), position) -
                                         sumBefore_.begin()) - 1;
    uint64_t sum = sumBefore_[b];
    const Block& block = blocks_[b];
    for (size_t i = 0; i < block.counts.size(); ++i) {
        if (position < sum + block.counts[i]) {
            start = sum;
            return indexBefore_[b] + i;
        }
        sum += block.counts[i];
    }
    start = sum - block.counts.back();
    return indexBefore_[b] + block.counts.size() - 1;
}

}  // namespace kp::memo
