#pragma once

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string_view>
#include <type_traits>

/// Large blocks that result sets gave back, kept for the next result set:
/// memory a result of 100 000 rows has touched once costs nothing to touch
/// again, while fresh memory costs a page fault per 4 KiB (on some virtual
/// machines more than the read itself). Only blocks of 256 KiB and more are
/// kept, at most eight and 64 MiB in all; the unload sequence frees them.
class TSpareBlocks {
 public:
  static constexpr size_t kSmallest = 256 * 1024;
  static constexpr size_t kMostKept = 64 * 1024 * 1024;

  /// Made when the library is loaded and never destroyed (nothing to
  /// destroy: result sets may give blocks back while static objects are
  /// being destroyed, and nothing of it is on the heap).
  static TSpareBlocks& Instance() {
    static constinit TSpareBlocks blocks;
    return blocks;
  }
  /// Frees every kept block; from now on nothing is kept (the library is
  /// being unloaded).
  void FreeAll() {
    std::lock_guard<std::mutex> guard(lock_);
    for (Block& block : blocks_) {
      std::free(block.data);
      block = Block();
    }
    kept_ = 0;
    closed_ = true;
  }
  /// Keeps `block` of `bytes` or frees it.
  void Keep(void* block, size_t bytes) {
    if (bytes >= kSmallest) {
      std::lock_guard<std::mutex> guard(lock_);
      if (!closed_ && kept_ + bytes <= kMostKept) {
        for (Block& slot : blocks_) {
          if (slot.data) continue;
          slot = Block{block, bytes};
          kept_ += bytes;
          return;
        }
      }
    }
    std::free(block);
  }
  /// The largest kept block (its size in `bytes`), or null.
  void* TakeLargest(size_t& bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    Block* largest = nullptr;
    for (Block& slot : blocks_)
      if (slot.data && (!largest || slot.bytes > largest->bytes)) largest = &slot;
    if (!largest) return nullptr;
    void* block = largest->data;
    bytes = largest->bytes;
    kept_ -= bytes;
    *largest = Block();
    return block;
  }

 private:
  struct Block {
    void* data = nullptr;
    size_t bytes = 0;
  };
  constexpr TSpareBlocks() = default;

  std::mutex lock_;
  Block blocks_[8];
  size_t kept_ = 0;
  bool closed_ = false;
};

static_assert(std::is_trivially_destructible_v<TSpareBlocks>,
              "nothing of the kept blocks' keeper is left to destroy at unload");

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
  ~TRawBuffer() { Release(); }
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
  /// Empties the buffer and gives its memory back (a large block is kept
  /// for the next result set unless `keep` is false).
  void Release(bool keep = true) {
    if (data_ && keep) TSpareBlocks::Instance().Keep(data_, capacity_ * sizeof(T));
    if (data_ && !keep) std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  void Grow(size_t needed) {
    size_t wanted = capacity_ < 256 ? 256 : capacity_ * 2;
    if (wanted < needed) wanted = needed;
    // Only a buffer that has become large takes a kept block: a small result
    // would shrink it to its own size and spoil it for the next large one.
    if (wanted * sizeof(T) >= TSpareBlocks::kSmallest && AdoptSpare() && capacity_ >= wanted)
      return;
    Resize(wanted);
  }
  bool AdoptSpare() {
    size_t bytes = 0;
    void* block = TSpareBlocks::Instance().TakeLargest(bytes);
    if (!block) return false;
    if (bytes / sizeof(T) < size_) {  // too small to hold what is written
      TSpareBlocks::Instance().Keep(block, bytes);
      return false;
    }
    if (size_) std::memcpy(block, data_, size_ * sizeof(T));
    std::free(data_);
    data_ = static_cast<T*>(block);
    capacity_ = bytes / sizeof(T);
    return true;
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
