// A finished list of news items, never changed once made. The download
// thread makes it and hands it over whole; every reader holds a reference,
// so a list replaced while someone reads it lives until that reader lets go.
#pragma once

#include <atomic>
#include <memory>
#include <cstddef>

class NewsList {
public:
    // An empty list with room for `capacity` items and `textBytes` bytes of
    // titles and links, terminators included; null without memory.
    static NewsList* Make(int capacity, std::size_t textBytes);
    // One item, a status line: the title and no link.
    static NewsList* MakeStatusLine(const char* title);

    // While the list is being made: copies an item in. False when it does
    // not fit, and nothing is added.
    bool Add(const char* title, std::size_t titleLength, const char* link, std::size_t linkLength);

    int Count() const { return count_; }
    // Bytes as the page gave them (links resolved); null outside 0 .. Count() - 1.
    const char* Title(int index) const;
    const char* Link(int index) const;

    void AddRef() const;
    void Release() const;

private:
    struct Item {
        const char* title;
        const char* link;
    };

    NewsList() = default;
    ~NewsList();
    NewsList(const NewsList&) = delete;
    NewsList& operator=(const NewsList&) = delete;

    std::unique_ptr<Item[]> items_;
    int count_ = 0;
    int capacity_ = 0;
    std::unique_ptr<char[]> text_;
    std::size_t textUsed_ = 0;
    std::size_t textCapacity_ = 0;
    mutable std::atomic<long> references_{1};
};

// Holds one reference; an empty holder reads as a list of no items.
class NewsListRef {
public:
    NewsListRef() = default;
    // Takes over the reference the caller had.
    explicit NewsListRef(NewsList* adopted) : list_(adopted) {}
    NewsListRef(const NewsListRef& other);
    NewsListRef& operator=(const NewsListRef& other);
    ~NewsListRef();

    const NewsList* Get() const { return list_; }
    int Count() const { return list_ ? list_->Count() : 0; }
    const char* Title(int index) const { return list_ ? list_->Title(index) : nullptr; }
    const char* Link(int index) const { return list_ ? list_->Link(index) : nullptr; }

private:
    NewsList* list_ = nullptr;
};
