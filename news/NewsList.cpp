#include "NewsList.h"

#include <cstring>
#include <new>

NewsList* NewsList::Make(int capacity, std::size_t textBytes) {
    if (capacity < 0) return nullptr;
    NewsList* list = new (std::nothrow) NewsList;
    if (!list) return nullptr;
    list->items_.reset(new (std::nothrow) Item[capacity > 0 ? capacity : 1]);
    list->text_.reset(new (std::nothrow) char[textBytes > 0 ? textBytes : 1]);
    if (!list->items_ || !list->text_) {
        list->Release();
        return nullptr;
    }
    list->capacity_ = capacity;
    list->textCapacity_ = textBytes;
    return list;
}

NewsList* NewsList::MakeStatusLine(const char* title) {
    const std::size_t length = title ? std::strlen(title) : 0;
    NewsList* list = Make(1, length + 2);
    if (list) list->Add(title, length, "", 0);
    return list;
}

NewsList::~NewsList() = default;

bool NewsList::Add(const char* title, std::size_t titleLength, const char* link, std::size_t linkLength) {
    if (count_ >= capacity_) return false;
    const std::size_t room = textCapacity_ - textUsed_;
    if (titleLength >= room || linkLength >= room - titleLength - 1) return false;
    char* at = text_.get() + textUsed_;
    if (titleLength) std::memcpy(at, title, titleLength);
    at[titleLength] = '\0';
    items_[count_].title = at;
    at += titleLength + 1;
    if (linkLength) std::memcpy(at, link, linkLength);
    at[linkLength] = '\0';
    items_[count_].link = at;
    textUsed_ += titleLength + linkLength + 2;
    count_++;
    return true;
}

const char* NewsList::Title(int index) const {
    return index >= 0 && index < count_ ? items_[index].title : nullptr;
}

const char* NewsList::Link(int index) const {
    return index >= 0 && index < count_ ? items_[index].link : nullptr;
}

void NewsList::AddRef() const {
    references_.fetch_add(1, std::memory_order_relaxed);
}

void NewsList::Release() const {
    if (references_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

NewsListRef::NewsListRef(const NewsListRef& other) : list_(other.list_) {
    if (list_) list_->AddRef();
}

NewsListRef& NewsListRef::operator=(const NewsListRef& other) {
    if (other.list_) other.list_->AddRef();
    if (list_) list_->Release();
    list_ = other.list_;
    return *this;
}

NewsListRef::~NewsListRef() {
    if (list_) list_->Release();
}
