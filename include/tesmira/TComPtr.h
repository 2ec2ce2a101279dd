#pragma once

#include <utility>

/// Counted reference to an interface: AddRef on take, Release on drop.
template <class T>
class TComPtr {
 public:
  TComPtr() = default;
  TComPtr(T* p) : p_(p) {  // NOLINT: implicit like a raw interface reference
    if (p_) p_->AddRef();
  }
  TComPtr(const TComPtr& o) : TComPtr(o.p_) {}
  TComPtr(TComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~TComPtr() { reset(); }

  TComPtr& operator=(TComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }

  void reset() {
    if (T* old = std::exchange(p_, nullptr)) old->Release();
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const TComPtr& o) const { return p_ == o.p_; }
  bool operator==(const T* o) const { return p_ == o; }

 private:
  T* p_ = nullptr;
};
