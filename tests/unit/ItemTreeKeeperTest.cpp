#include "model/ItemTreeKeeper.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace veskaro;

namespace {

// Each item carries its node's caption as its description, so that the list can be read against the tree.
class ItemTreeKeeperTest : public testing::Test {
protected:
    int insert(int parent, const std::string& name) {
        TItemData item = TkvlAppletAgent::DefaultItem();
        item.IToolTip = name;
        return keeper.insertItem(parent, item, name);
    }

    // Builds  a (a1 (a11), a2), b, c (c1)  below the root.
    void buildSample() {
        const int a = insert(0, "a");
        insert(insert(a, "a1"), "a11");
        insert(a, "a2");
        insert(0, "b");
        insert(insert(0, "c"), "c1");
    }

    std::vector<std::string> outline() const {
        std::vector<std::string> lines;
        for (int p = 1; p < tree.nodeCount(); ++p)
            lines.push_back(std::string(2 * (tree.levelAt(p) - 1), ' ') + tree.captionAt(p));
        return lines;
    }

    std::vector<std::string> descriptions() const {
        std::vector<std::string> names;
        for (const TItemData& item : project.items())
            names.push_back(item.IToolTip);
        return names;
    }

    void expectInStep() const {
        ASSERT_EQ(tree.nodeCount(), project.itemCount() + 1);
        for (int p = 1; p < tree.nodeCount(); ++p) {
            EXPECT_EQ(project.GetItem(p - 1).IToolTip, tree.captionAt(p)) << "position " << p;
            EXPECT_EQ(project.GetItem(p - 1).ILevel, std::to_string(tree.levelAt(p) - 1)) << "position " << p;
        }
    }

    TkvlAppletAgent project;
    PlainItemTree tree;
    ItemTreeKeeper keeper{project, tree};
};

using Outline = std::vector<std::string>;

} // namespace

TEST_F(ItemTreeKeeperTest, InsertingAddsTheLastChildWithItsLevel) {
    buildSample();
    EXPECT_EQ(outline(), (Outline{"a", "  a1", "    a11", "  a2", "b", "c", "  c1"}));
    EXPECT_EQ(insert(1, "a3"), 5) << "after the last descendant of a";
    expectInStep();
}

TEST_F(ItemTreeKeeperTest, DeletingASubtreeRemovesItsItemsAndNoOthers) {
    buildSample();
    keeper.deleteSubtree(1);
    EXPECT_EQ(outline(), (Outline{"b", "c", "  c1"}));
    EXPECT_EQ(descriptions(), (Outline{"b", "c", "c1"}));
    keeper.deleteSubtree(3);
    EXPECT_EQ(descriptions(), (Outline{"b", "c"}));
    EXPECT_THROW(keeper.deleteSubtree(0), std::out_of_range) << "the root stays";
    expectInStep();
}

TEST_F(ItemTreeKeeperTest, MovingCarriesWholeSubtreesPastWholeSiblings) {
    buildSample();
    EXPECT_EQ(keeper.moveDown(1), 2) << "a moves after b";
    EXPECT_EQ(outline(), (Outline{"b", "a", "  a1", "    a11", "  a2", "c", "  c1"}));
    EXPECT_EQ(keeper.moveDown(2), 4) << "a moves after c and its child";
    EXPECT_EQ(descriptions(), (Outline{"b", "c", "c1", "a", "a1", "a11", "a2"}));
    EXPECT_EQ(keeper.moveUp(7), 5) << "a2 moves before a1 and a11";
    EXPECT_EQ(outline(), (Outline{"b", "c", "  c1", "a", "  a2", "  a1", "    a11"}));
    expectInStep();
}

TEST_F(ItemTreeKeeperTest, NodesWithoutASiblingThatWayStay) {
    buildSample();
    EXPECT_EQ(keeper.moveUp(1), 1) << "the first child of the root";
    EXPECT_EQ(keeper.moveDown(6), 6) << "the last child of the root";
    EXPECT_EQ(keeper.moveDown(3), 3) << "a11, an only child";
    EXPECT_EQ(keeper.previousSibling(4), 2);
    EXPECT_EQ(keeper.nextSibling(2), 4);
    EXPECT_EQ(keeper.nextSibling(0), -1);
    EXPECT_EQ(outline(), (Outline{"a", "  a1", "    a11", "  a2", "b", "c", "  c1"}));
}

TEST_F(ItemTreeKeeperTest, AnySequenceOfCommandsKeepsTreeAndListInStep) {
    std::mt19937 random(20261208);
    auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    for (int step = 0; step < 3000; ++step) {
        const int nodes = tree.nodeCount();
        const int command = nodes == 1 ? 0 : pick(4);
        const int node = 1 + (nodes > 1 ? pick(nodes - 1) : 0);
        if (command == 0) {
            insert(pick(nodes), "n" + std::to_string(step));
        } else if (command == 1 && pick(3) == 0) {
            keeper.deleteSubtree(node);
        } else {
            const bool up = command == 2;
            const Outline before = outline();
            const std::vector<TItemData> items = project.items();
            const int moved = up ? keeper.moveUp(node) : keeper.moveDown(node);
            if (moved != node) {
                // A move there and back gives the project and the tree back exactly; then it is made again.
                EXPECT_EQ(tree.captionAt(moved),
                          before[static_cast<std::size_t>(node) - 1].substr(
                              before[static_cast<std::size_t>(node) - 1].find_first_not_of(' ')));
                ASSERT_EQ(up ? keeper.moveDown(moved) : keeper.moveUp(moved), node) << "step " << step;
                ASSERT_EQ(outline(), before) << "step " << step;
                ASSERT_EQ(project.items(), items) << "step " << step;
                static_cast<void>(up ? keeper.moveUp(node) : keeper.moveDown(node));
            }
        }
        expectInStep();
        if (HasFailure())
            FAIL() << "out of step after step " << step;
    }
}
