#include "model/ItemTreeKeeper.h"
#include "model/EditHistory.h"
#include "model/PlainItemTree.h"
#include "model/TkvlAppletAgent.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace veskaro;

namespace {

using Outline = std::vector<std::string>;

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

    // What an undo must give back: the tree, every value of the project, and the selection.
    struct Moment {
        Outline outline;
        TAppletData appletData;
        TItemArray items;
        ProjectOptions options;
        int selection;
        bool operator==(const Moment&) const = default;
    };
    Moment moment() const {
        return {outline(), project.GetAppletData(), project.items(), project.options(), tree.selectedPosition()};
    }

    void editAppletData(const std::string& name, const void* mergeKey = nullptr) {
        TAppletData data = project.GetAppletData();
        data.pSliderName = name;
        project.SetAppletData(data);
        keeper.recordEdit(EditStep::Typing, mergeKey);
    }

    TkvlAppletAgent project;
    PlainItemTree tree;
    ItemTreeKeeper keeper{project, tree};
};

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

TEST_F(ItemTreeKeeperTest, DuplicatingCopiesTheSubtreeRightAfterItAndSelectsTheCopy) {
    buildSample();
    EXPECT_EQ(keeper.duplicate(1), 5);
    EXPECT_EQ(outline(), (Outline{"a", "  a1", "    a11", "  a2", "a", "  a1", "    a11", "  a2", "b", "c", "  c1"}));
    EXPECT_EQ(tree.selectedPosition(), 5);
    tree.select(11);
    EXPECT_EQ(keeper.duplicate(11), 12) << "the last item";
    EXPECT_EQ(outline().back(), "  c1");
    EXPECT_EQ(tree.selectedPosition(), 12);
    expectInStep();
    keeper.undo();
    EXPECT_EQ(tree.nodeCount(), 12);
    EXPECT_EQ(tree.selectedPosition(), 11) << "the selection before the step";
}

TEST_F(ItemTreeKeeperTest, MovingASubtreeElsewhereSetsItsLevelsAndRefusesItsOwnInside) {
    buildSample();
    const Moment before = moment();
    EXPECT_EQ(keeper.moveSubtree(1, 2, -1), -1) << "a into its own child a1";
    EXPECT_EQ(keeper.moveSubtree(1, 1, -1), -1) << "a into itself";
    EXPECT_EQ(keeper.moveSubtree(0, 5, -1), -1) << "the root";
    EXPECT_EQ(keeper.moveSubtree(2, 0, 3), -1) << "before a node that is no child of the parent";
    EXPECT_EQ(keeper.moveSubtree(5, 0, 6), 5) << "b before its own next sibling: nothing moves";
    EXPECT_EQ(moment().outline, before.outline);
    EXPECT_FALSE(keeper.history().canUndo() && keeper.history().undoStep() == EditStep::Move);

    EXPECT_EQ(keeper.moveSubtree(2, 7, -1), 6) << "a1 with a11 becomes the last child of c1";
    EXPECT_EQ(outline(), (Outline{"a", "  a2", "b", "c", "  c1", "    a1", "      a11"}));
    EXPECT_EQ(keeper.moveSubtree(4, 0, 1), 1) << "c, now with a1 deep below it, goes before a";
    EXPECT_EQ(outline(), (Outline{"c", "  c1", "    a1", "      a11", "a", "  a2", "b"}));
    EXPECT_EQ(tree.selectedPosition(), 1);
    expectInStep();
    keeper.undo();
    keeper.undo();
    EXPECT_EQ(moment().outline, before.outline);
    EXPECT_EQ(project.items(), before.items);
}

TEST_F(ItemTreeKeeperTest, UndoingADeleteBringsTheSubtreeBackWithItsItemsAndSelection) {
    buildSample();
    tree.select(1);
    const Moment before = moment();
    keeper.deleteSubtree(1);
    EXPECT_EQ(keeper.history().undoStep(), EditStep::Delete);
    keeper.undo();
    EXPECT_EQ(moment(), before);
    EXPECT_EQ(keeper.history().redoStep(), EditStep::Delete);
    keeper.redo();
    EXPECT_EQ(outline(), (Outline{"b", "c", "  c1"}));
}

TEST_F(ItemTreeKeeperTest, TypingInOneFieldIsOneStepUntilSomethingElseHappens) {
    int field = 0;
    int other = 0;
    editAppletData("s", &field);
    editAppletData("sl", &field);
    editAppletData("sli", &field);
    editAppletData("x", &other);
    keeper.undo();
    EXPECT_EQ(project.GetAppletData().pSliderName, "sli");
    keeper.undo();
    EXPECT_EQ(project.GetAppletData().pSliderName, "") << "three keystrokes, one step";
    keeper.redo();
    keeper.markSaved();
    editAppletData("slid", &field);
    keeper.undo();
    EXPECT_EQ(project.GetAppletData().pSliderName, "sli") << "a save ends the step";
    EXPECT_TRUE(keeper.atSavedState());
    keeper.redo();
    EXPECT_FALSE(keeper.atSavedState());
    insert(0, "a");
    tree.select(1);
    editAppletData("slide", &field);
    editAppletData("slider", &field);
    keeper.undo();
    EXPECT_EQ(project.GetAppletData().pSliderName, "slid") << "another selection, another step";
    EXPECT_EQ(keeper.history().undoStep(), EditStep::Insert);
}

TEST_F(ItemTreeKeeperTest, AnOptionChangeIsAStepOfItsOwnThatUndoesAndMarksTheProjectModified) {
    buildSample();
    keeper.markSaved();
    const Moment before = moment();
    ProjectOptions options = project.options();
    options.set("Pictures.WebP", "1");
    project.setOptions(options);
    keeper.recordEdit(EditStep::OptionChange);
    EXPECT_FALSE(keeper.atSavedState());
    const Moment after = moment();
    keeper.undo();
    EXPECT_EQ(moment(), before);
    EXPECT_TRUE(keeper.atSavedState());
    keeper.redo();
    EXPECT_EQ(moment(), after);
    EXPECT_TRUE(project.options().isOn("Pictures.WebP"));
}

TEST_F(ItemTreeKeeperTest, AnySequenceOfStepsUndoesToTheStartAndRedoesToTheEnd) {
    std::mt19937 random(20261209);
    auto pick = [&random](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    for (int round = 0; round < 4; ++round) {
        // moments[k] is the project after k steps of this round; selections[k] the selection before step k.
        std::vector<Moment> moments{moment()};
        std::vector<int> selectionsBefore;
        for (int command = 0; command < 120; ++command) {
            const int nodes = tree.nodeCount();
            const int node = 1 + (nodes > 1 ? pick(nodes - 1) : 0);
            tree.select(pick(nodes));
            const int selection = tree.selectedPosition();
            switch (nodes == 1 ? 0 : pick(7)) {
            case 0:
                insert(pick(nodes), "n" + std::to_string(round) + "." + std::to_string(command));
                break;
            case 1:
                if (pick(3) == 0)
                    keeper.deleteSubtree(node);
                break;
            case 2:
                keeper.moveUp(node);
                break;
            case 3:
                keeper.moveDown(node);
                break;
            case 4:
                if (pick(3) == 0)
                    keeper.duplicate(node);
                break;
            case 5:
                keeper.moveSubtree(node, pick(nodes), pick(2) == 0 ? -1 : pick(nodes));
                break;
            default:
                editAppletData("name " + std::to_string(pick(3)));
                break;
            }
            expectInStep();
            if (moment().outline != moments.back().outline || project.items() != moments.back().items ||
                project.GetAppletData() != moments.back().appletData) {
                moments.push_back(moment());
                selectionsBefore.push_back(selection);
            }
        }
        for (std::size_t k = moments.size() - 1; k > 0; --k) {
            ASSERT_TRUE(keeper.history().canUndo()) << "round " << round << ", step " << k;
            keeper.undo();
            Moment expected = moments[k - 1];
            expected.selection = selectionsBefore[k - 1];
            ASSERT_EQ(moment(), expected) << "round " << round << ", undo to step " << k - 1;
        }
        for (std::size_t k = 1; k < moments.size(); ++k) {
            keeper.redo();
            ASSERT_EQ(moment(), moments[k]) << "round " << round << ", redo of step " << k;
        }
        EXPECT_FALSE(keeper.history().canRedo());
    }
}

namespace {

// The tree as "caption:level" in depth-first order, the root left out.
std::string levelsOf(const PlainItemTree& tree) {
    std::string text;
    for (int p = 1; p < tree.nodeCount(); ++p)
        text += tree.captionAt(p) + ":" + std::to_string(tree.levelAt(p)) + " ";
    return text;
}

} // namespace

// Children of the last node's ancestors are appended; any other goes after its parent's last descendant,
// and so does one added after the tree was cut or rearranged.
TEST(PlainItemTree, AddsEachChildAfterItsParentsLastDescendant) {
    PlainItemTree tree;
    EXPECT_EQ(tree.addChild(0, "a"), 1);
    EXPECT_EQ(tree.addChild(1, "b"), 2);
    EXPECT_EQ(tree.addChild(2, "c"), 3);
    EXPECT_EQ(tree.addChild(0, "d"), 4);
    EXPECT_EQ(tree.addChild(1, "e"), 4);
    EXPECT_EQ(tree.addChild(5, "f"), 6);
    EXPECT_EQ(tree.addChild(2, "g"), 4);
    EXPECT_EQ(tree.addChild(6, "h"), 8);
    EXPECT_EQ(levelsOf(tree), "a:1 b:2 c:3 g:3 e:2 d:1 f:2 h:2 ");
    tree.removeSubtree(1);
    EXPECT_EQ(tree.addChild(1, "i"), 4);
    tree.moveBefore(1, 1);
    tree.addChild(0, "j");
    tree.moveBefore(5, 1);
    EXPECT_EQ(tree.addChild(1, "k"), 2);
    EXPECT_EQ(tree.addChild(3, "l"), 7);
    EXPECT_EQ(levelsOf(tree), "j:1 k:2 d:1 f:2 h:2 i:2 l:2 ");
    tree.clear();
    EXPECT_EQ(tree.addChild(0, "m"), 1);
    EXPECT_EQ(tree.addChild(1, "n"), 2);
    EXPECT_EQ(levelsOf(tree), "m:1 n:2 ");
}

TEST(EditHistory, ForgetsTheOldestStepsBeyondItsLimitsButNeverTheLast) {
    auto state = [](std::size_t size) {
        EditState made;
        made.appletData.pSliderName = std::string(size, 'n');
        return made;
    };
    EditHistory history(3, 10'000);
    history.reset(state(1));
    for (std::size_t step = 2; step <= 5; ++step)
        history.record(EditStep::Typing, 0, state(step), 0);
    EXPECT_EQ(history.undo().state, state(4));
    EXPECT_EQ(history.undo().state, state(3));
    EXPECT_EQ(history.undo().state, state(2)) << "three steps kept";
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.atSavedState()) << "the saved state is forgotten";

    history.record(EditStep::Typing, 0, state(6'000), 0);
    history.record(EditStep::Typing, 0, state(7'000), 0);
    EXPECT_EQ(history.undo().state, state(6'000)) << "one large state is kept, two are too many";
    EXPECT_FALSE(history.canUndo());
    history.record(EditStep::Typing, 0, state(20'000), 0);
    EXPECT_TRUE(history.canUndo()) << "a step larger than the limit can still be undone";
}

TEST(EditHistory, AStepThatGrowsByMergingCountsItsSizeAgainstTheLimit) {
    auto state = [](std::size_t size) {
        EditState made;
        made.appletData.pSliderName = std::string(size, 'n');
        return made;
    };
    int field = 0;
    EditHistory history(200, 10'000);
    history.reset(state(1));
    history.record(EditStep::Insert, 0, state(2), 0);
    history.record(EditStep::Typing, 0, state(3), 0, &field);
    for (std::size_t typed = 4; typed <= 12'000; typed += 1'000)
        history.record(EditStep::Typing, 0, state(typed), 0, &field);
    EXPECT_EQ(history.undoStep(), EditStep::Typing) << "the keystrokes are one step";
    EXPECT_EQ(history.undo().state, state(2)) << "the step before the typing";
    EXPECT_FALSE(history.canUndo()) << "the grown step left no room for the insert";
}

TEST(EditHistory, ASaveThatFillsInValuesCountsTheirSize) {
    auto state = [](std::size_t size) {
        EditState made;
        made.appletData.pSliderName = std::string(size, 'n');
        return made;
    };
    EditHistory history(200, 10'000);
    history.reset(state(1));
    history.record(EditStep::Insert, 0, state(2), 0);
    history.record(EditStep::Delete, 0, state(3), 0);
    history.markSaved(state(12'000));
    EXPECT_TRUE(history.atSavedState());
    EXPECT_EQ(history.undo().state, state(2));
    EXPECT_FALSE(history.canUndo()) << "the saved state left no room for the first step";
}
