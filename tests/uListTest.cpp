#include "uList.h"

#include <gtest/gtest.h>

namespace {

struct TItem {
    int Id;
    bool Alive = true;
};

std::vector<int> Ids(TList<TItem>& list) {
    std::vector<int> ids;
    for (TNode<TItem>* node = list.First(); !node->IsTail(); node = node->Next)
        ids.push_back(node->Data->Id);
    return ids;
}

} // namespace

TEST(TList, EmptyListHasOnlyTheTail) {
    TList<TItem> list;
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.First()->IsTail());
}

TEST(TList, AddAppendsInOrder) {
    TItem a{1}, b{2}, c{3};
    TList<TItem> list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 2, 3}));
}

TEST(TList, UnlinkDuringWalkVisitsTheFollowingElement) {
    TItem items[5] = {{1}, {2}, {3}, {4}, {5}};
    items[1].Alive = items[2].Alive = items[4].Alive = false;
    TList<TItem> list;
    for (TItem& item : items)
        list.Add(&item);
    std::vector<int> visited;
    for (TNode<TItem>* node = list.First(); !node->IsTail(); node = node->Next) {
        if (node->Data->Alive)
            visited.push_back(node->Data->Id);
        else
            node = list.Unlink(node);
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 4}));
    EXPECT_EQ(Ids(list), (std::vector<int>{1, 4}));
}

TEST(TList, UnlinkingTheFirstNodeReturnsTheHead) {
    TItem a{1}, b{2};
    TList<TItem> list;
    TNode<TItem>* first = list.Add(&a);
    list.Add(&b);
    TNode<TItem>* before = list.Unlink(first);
    EXPECT_EQ(before->Next, list.First());
    EXPECT_EQ(list.First()->Data, &b);
}

TEST(TList, RemoveDropsEveryEntryOfTheItem) {
    TItem a{1}, b{2};
    TList<TItem> list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&a);
    list.Add(&a);
    list.Remove(&a);
    EXPECT_EQ(Ids(list), (std::vector<int>{2}));
    list.Remove(&b);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(TList, RemoveOfABatchDropsEveryEntryOfEachItem) {
    TItem a{1}, b{2}, c{3};
    TList<TItem> list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    list.Add(&a);
    TItem* gone[] = {&a, &c};
    list.Remove(std::span<TItem* const>(gone));
    EXPECT_EQ(Ids(list), (std::vector<int>{2}));
    list.Remove(std::span<TItem* const>());
    EXPECT_EQ(Ids(list), (std::vector<int>{2}));
}

TEST(TList, ClearKeepsTheItems) {
    TItem a{7};
    TList<TItem> list;
    list.Add(&a);
    list.Add(&a);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(a.Id, 7);
    list.Add(&a);
    EXPECT_EQ(list.Count(), 1);
}
