#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>

/// A growable array of plain values (bytes of cell text, cell end offsets)
/// for result sets. Unlike std::string and std::vector it grows with
/// realloc, which lets the C library move a large block's pages instead of
/// copying them and shrink a block where it stands, and it never fills
/// memory the caller is about to overwrite: a result of 100 000 rows is
/// written once, not copied at every doubling and once more when trimmed.
template <class T>
class TRawBuffer {
  static_assert(std::is_trivially_copyable_v<T>, "values are moved as bytes");

 public:
  TRawBuffer() = default;
  ~TRawBuffer() { std::free(data_); }
  TRawBuffer(const TRawBuffer&) = delete;
  TRawBuffer& operator=(const TRawBuffer&) = delete;

  size_t size() const { return size_; }
  size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  const T* data() const { return data_; }
  const T& operator[](size_t i) const { return data_[i]; }

  /// Room for at least `count` more values; returns where they go. The
  /// caller writes there and then counts what it wrote with Commit.
  T* Reserve(size_t count) {
    if (capacity_ - size_ < count) Grow(size_ + count);
    return data_ + size_;
  }
  void Commit(size_t count) { size_ += count; }

  void push_back(T value) {
    *Reserve(1) = value;
    ++size_;
  }
  void append(const T* values, size_t count) {
    if (count == 0) return;
    std::memcpy(Reserve(count), values, count * sizeof(T));
    size_ += count;
  }

  /// Gives back the spare capacity (in place for large blocks).
  void ShrinkToFit() {
    if (capacity_ == size_) return;
    if (size_ == 0) return Release();
    Resize(size_);
  }
  /// Empties the buffer and frees its memory.
  void Release() {
    std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  void Grow(size_t needed) {
    size_t wanted = capacity_ < 256 ? 256 : capacity_ * 2;
    Resize(wanted < needed ? needed : wanted);
  }
  void Resize(size_t count) {
    void* moved = std::realloc(data_, count * sizeof(T));
    if (!moved) throw std::bad_alloc();
    data_ = static_cast<T*>(moved);
    capacity_ = count;
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

/// The cell texts of a result set, GBK, back to back.
using TCellBuffer = TRawBuffer<char>;

inline TCellBuffer& operator+=(TCellBuffer& buffer, std::string_view text) {
  buffer.append(text.data(), text.size());
  return buffer;
}
