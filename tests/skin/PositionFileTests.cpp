// The default skin's layout file, read by the window's lookup rule: every key is
// found at its own entry with its numbers, and the controls it places fit the
// window without covering each other.
#include "skin/SkinFiles.h"

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

bool IsWindowSize(const std::string& key) { return key == "MainSize"; }

class CommittedLayout : public testing::Test {
protected:
    std::string text = ReadWholeFile(CommittedSkin() + "/position.txt");
};

TEST_F(CommittedLayout, EveryKeyIsFoundAtItsOwnEntryWithItsNumbers)
{
    ASSERT_FALSE(text.empty());
    for (const std::string& key : SkinKeys()) {
        const LayoutValue value = LookUp(text, key);
        ASSERT_TRUE(value.found) << key;
        // The first occurrence starts a line, so no longer key swallows the lookup.
        EXPECT_TRUE(value.at == 0 || text[value.at - 1] == '\n') << key << " is found inside another entry";
        EXPECT_EQ(text[value.at + key.size()], '=') << key;
        EXPECT_EQ(value.count, IsWindowSize(key) ? 2 : 4) << key;
    }
}

TEST_F(CommittedLayout, ListsTheKeysInTheOrderTheWindowReadsThem)
{
    std::size_t previous = 0;
    for (const std::string& key : SkinKeys()) {
        const LayoutValue value = LookUp(text, key);
        ASSERT_TRUE(value.found) << key;
        EXPECT_GE(value.at, previous) << key << " comes too early";
        previous = value.at;
    }
    EXPECT_LT(LookUp(text, "VCDRadio").at, LookUp(text, "SVCDRadio").at);
}

TEST_F(CommittedLayout, EveryControlLiesInsideTheWindowAndCoversNoOther)
{
    const LayoutValue size = LookUp(text, "MainSize");
    ASSERT_EQ(size.count, 2);
    const int width = size.n[0];
    const int height = size.n[1];
    EXPECT_GE(width, 800);
    EXPECT_GE(height, 500);
    std::vector<std::pair<std::string, Rect>> placed;
    for (const std::string& key : SkinKeys()) {
        if (IsWindowSize(key)) {
            continue;
        }
        const Rect r = RectOf(LookUp(text, key));
        EXPECT_GT(r.w, 0) << key;
        EXPECT_GT(r.h, 0) << key;
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= width && r.y + r.h <= height) << key << " leaves the window";
        for (const auto& [other, rect] : placed) {
            EXPECT_FALSE(Overlap(r, rect)) << key << " covers " << other;
        }
        placed.emplace_back(key, r);
    }
}

TEST(FreshLayout, IsTheCommittedOneAndScalesWholly)
{
    const std::string single = FreshSkin(1);
    const std::string twice = FreshSkin(2);
    ASSERT_FALSE(single.empty());
    ASSERT_FALSE(twice.empty());
    const std::string committed = ReadWholeFile(CommittedSkin() + "/position.txt");
    const std::string fresh = ReadWholeFile(single + "/position.txt");
    EXPECT_EQ(fresh, committed) << "resources/UI is out of date: cmake --build build --target skin";
    const std::string doubled = ReadWholeFile(twice + "/position.txt");
    for (const std::string& key : SkinKeys()) {
        const LayoutValue one = LookUp(fresh, key);
        const LayoutValue two = LookUp(doubled, key);
        ASSERT_EQ(two.count, one.count) << key;
        for (int i = 0; i < one.count; ++i) {
            EXPECT_EQ(two.n[i], 2 * one.n[i]) << key << " number " << i;
        }
    }
}

} // namespace
} // namespace discforge::test
