// TList: the engine's doubly linked list with head and tail sentinels. It owns its nodes and never
// the items they point to. Removal during a walk is O(1): Unlink returns the predecessor, so the
// walker's `node = node->Next` visits the element that followed the removed one.
#pragma once

#include <algorithm>
#include <span>
#include <vector>

template <class T> class TList;

template <class T> struct TNode {
    TNode* Prev = nullptr;
    TNode* Next = nullptr;
    T* Data = nullptr;

    // Only the tail sentinel has no successor.
    bool IsTail() const { return Next == nullptr; }
};

template <class T> class TList {
  public:
    TList() {
        Head.Next = &Tail;
        Tail.Prev = &Head;
    }
    ~TList() { Clear(); }
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    TNode<T>* First() { return Head.Next; }
    const TNode<T>* First() const { return Head.Next; }
    bool IsEmpty() const { return Head.Next == &Tail; }

    // Appends a new node for item just before the tail.
    TNode<T>* Add(T* item) {
        TNode<T>* node = new TNode<T>;
        node->Data = item;
        node->Prev = Tail.Prev;
        node->Next = &Tail;
        Tail.Prev->Next = node;
        Tail.Prev = node;
        return node;
    }

    // Unlinks and frees the node; returns its predecessor.
    TNode<T>* Unlink(TNode<T>* node) {
        TNode<T>* previous = node->Prev;
        previous->Next = node->Next;
        node->Next->Prev = previous;
        delete node;
        return previous;
    }

    // Unlinks every node whose item is `item`.
    void Remove(T* item) {
        for (TNode<T>* node = First(); !node->IsTail(); node = node->Next)
            if (node->Data == item)
                node = Unlink(node);
    }

    // Unlinks every node whose item is one of `items`, in a single walk: for a batch of removals
    // from a long list.
    void Remove(std::span<T* const> items) {
        if (items.empty())
            return;
        std::vector<T*> sorted(items.begin(), items.end());
        std::sort(sorted.begin(), sorted.end());
        for (TNode<T>* node = First(); !node->IsTail(); node = node->Next)
            if (std::binary_search(sorted.begin(), sorted.end(), node->Data))
                node = Unlink(node);
    }

    void Clear() {
        while (!IsEmpty())
            Unlink(First());
    }

    int Count() const {
        int count = 0;
        for (const TNode<T>* node = Head.Next; !node->IsTail(); node = node->Next)
            ++count;
        return count;
    }

  private:
    TNode<T> Head;
    TNode<T> Tail;
};
