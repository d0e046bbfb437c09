// An array of plain values that grows in place.  The results box holds up to gigabytes in two
// of these: a std::string or std::vector would copy its whole contents into a buffer twice as
// large each time it fills, freezing the window for seconds and needing both buffers at once;
// realloc lets the system move the pages of a large buffer instead (mremap on Linux).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <type_traits>

namespace bukvotok {

// Tests set this to see what a growth that the machine cannot serve leaves behind: a growth to
// more bytes than this fails as an exhausted memory would.
inline std::size_t growing_array_limit_for_tests = static_cast<std::size_t>(-1);
// And this, when set, is asked before each growth whether it fails.
inline bool (*growing_array_fails_for_tests)() = nullptr;

template <typename T>
class GrowingArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowingArray() = default;
    GrowingArray(const GrowingArray&) = delete;
    GrowingArray& operator=(const GrowingArray&) = delete;
    GrowingArray(GrowingArray&& other) noexcept { Swap(other); }
    GrowingArray& operator=(GrowingArray&& other) noexcept {
        GrowingArray taken(std::move(other));
        Swap(taken);
        return *this;
    }
    ~GrowingArray() { std::free(data_); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return capacity_; }
    const T* data() const { return data_; }
    T* data() { return data_; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    const T& back() const { return data_[size_ - 1]; }

    void push_back(T value) {
        Reserve(size_ + 1);
        data_[size_++] = value;
    }

    // Replaces [from, to) by `values`, which must not lie inside this array.  Raises bad_alloc
    // with the array unchanged.
    void Replace(std::size_t from, std::size_t to, std::span<const T> values) {
        const std::size_t new_size = size_ - (to - from) + values.size();
        Reserve(new_size);
        if (to < size_)
            std::memmove(data_ + from + values.size(), data_ + to, (size_ - to) * sizeof(T));
        if (!values.empty()) std::memcpy(data_ + from, values.data(), values.size() * sizeof(T));
        size_ = new_size;
    }
    void Append(std::span<const T> values) { Replace(size_, size_, values); }
    // Both or neither: a failed growth leaves the array as it was.
    void Append(std::span<const T> first, std::span<const T> second) {
        Reserve(size_ + first.size() + second.size());
        if (!first.empty()) std::memcpy(data_ + size_, first.data(), first.size() * sizeof(T));
        size_ += first.size();
        if (!second.empty()) std::memcpy(data_ + size_, second.data(), second.size() * sizeof(T));
        size_ += second.size();
    }
    void Resize(std::size_t size) {
        Reserve(size);
        size_ = size;
    }
    // Gives back the room past the size; the array stays as it is when that fails.
    void ShrinkToFit() noexcept {
        if (size_ == 0) return Release();
        if (capacity_ <= std::max<std::size_t>(size_, 16)) return;
        void* shrunk = std::realloc(data_, std::max<std::size_t>(size_, 16) * sizeof(T));
        if (shrunk == nullptr) return;
        data_ = static_cast<T*>(shrunk);
        capacity_ = std::max<std::size_t>(size_, 16);
    }
    // Empties the array and gives its memory back.
    void Release() noexcept {
        std::free(data_);
        data_ = nullptr;
        size_ = capacity_ = 0;
    }

    void Reserve(std::size_t needed) {
        if (needed <= capacity_) return;
        // Growing by half again keeps appends cheap; pages not yet written cost no memory.
        const std::size_t capacity =
            needed > capacity_ + capacity_ / 2 ? needed : capacity_ + capacity_ / 2;
        const std::size_t bytes = std::max<std::size_t>(capacity, 16) * sizeof(T);
        FailAsTestsAsk(bytes);
        void* grown = std::realloc(data_, bytes);
        if (grown == nullptr) throw std::bad_alloc();
        data_ = static_cast<T*>(grown);
        capacity_ = std::max<std::size_t>(capacity, 16);
    }

    // Takes `ready` (from malloc, room for `capacity` values, at least 16) as its memory, as a
    // growth to it would; freed when that fails.  REQUIRES: the array has no memory yet.
    void Adopt(T* ready, std::size_t capacity) {
        try {
            FailAsTestsAsk(capacity * sizeof(T));
        } catch (...) {
            std::free(ready);
            throw;
        }
        data_ = ready;
        capacity_ = capacity;
    }

private:
    static void FailAsTestsAsk(std::size_t bytes) {
        if (bytes > growing_array_limit_for_tests) throw std::bad_alloc();
        if (growing_array_fails_for_tests != nullptr && growing_array_fails_for_tests()) {
            throw std::bad_alloc();
        }
    }
    void Swap(GrowingArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace bukvotok
