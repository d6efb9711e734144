#include "string_pool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelbo::guide;

namespace {

TEST(StringPool, HoldsEachTextOnceAndEveryTextWhateverItsSize) {
    StringPool pool;
    EXPECT_EQ(pool.intern(""), 0u);
    EXPECT_EQ(pool.text(0), "");
    // Far more texts than the first blocks and index hold, a text longer
    // than a block, and texts that differ only at the end.
    std::vector<std::string> texts;
    for (int i = 0; i < 60000; ++i)
        texts.push_back(std::string(static_cast<size_t>(40 + i % 300), 'd') + std::to_string(i));
    texts.push_back(std::string(3 << 20, 'x'));
    texts.push_back(std::string(3 << 20, 'x') + "y");
    std::vector<StringPool::Id> ids;
    for (const std::string& text : texts) ids.push_back(pool.intern(text));
    EXPECT_EQ(pool.size(), texts.size() + 1);
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_NE(ids[i], 0u);
        EXPECT_EQ(pool.text(ids[i]), texts[i]) << i;
        EXPECT_EQ(pool.intern(std::string(texts[i])), ids[i]) << "found again " << i;
    }
    EXPECT_EQ(pool.size(), texts.size() + 1) << "nothing added twice";
    const StringPool moved = std::move(pool);
    EXPECT_EQ(moved.text(ids.back()), texts.back());
}

}  // namespace
