#include "memo/edit/CountIndex.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

namespace kp::memo {
namespace {

// Random replacements checked against a plain vector, with tiny blocks so
// that splitting and emptying blocks is exercised constantly.
TEST(CountIndex, AgreesWithAPlainVectorUnderRandomReplacements)
{
    CountIndex index(4);
    std::vector<uint32_t> model;
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        const size_t first = model.empty() ? 0 : rng() % (model.size() + 1);
        const size_t remove = model.empty() ? 0 : rng() % std::min<size_t>(model.size() - first + 1, 12);
        std::vector<uint32_t> insert(rng() % 14);
        for (uint32_t& c : insert) c = 1 + rng() % 5;
        index.Replace(first, remove, insert);
        model.erase(model.begin() + first, model.begin() + first + remove);
        model.insert(model.begin() + first, insert.begin(), insert.end());

        ASSERT_EQ(index.Size(), model.size());
        ASSERT_EQ(index.Total(), std::accumulate(model.begin(), model.end(), uint64_t{0}));
        if (model.empty()) continue;
        const size_t probe = rng() % model.size();
        ASSERT_EQ(index.At(probe), model[probe]);
        const uint64_t prefix = std::accumulate(model.begin(), model.begin() + probe, uint64_t{0});
        ASSERT_EQ(index.PrefixSum(probe), prefix);
        uint64_t start = 0;
        const uint64_t position = prefix + rng() % model[probe];
        ASSERT_EQ(index.Find(position, start), probe);
        ASSERT_EQ(start, prefix);
    }
}

TEST(CountIndex, PositionsPastTheTotalFindTheLastEntry)
{
    CountIndex index;
    const std::vector<uint32_t> counts{2, 1, 3};
    index.Assign(counts);
    uint64_t start = 0;
    EXPECT_EQ(index.Find(100, start), 2u);
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(index.Find(0, start), 0u);
    EXPECT_EQ(index.Find(2, start), 1u);
}

}  // namespace
}  // namespace kp::memo
