#pragma once

#include <atomic>

#include "IInterface.h"

/// Reference-counted object base: the implementation side of IInterface.
/// The object deletes itself when the count drops from one to zero. Objects
/// that are also freed explicitly (persistent objects) simply never take a
/// counted reference to themselves.
class TInterfacedObject {
 public:
  TInterfacedObject() = default;
  TInterfacedObject(const TInterfacedObject&) = delete;
  TInterfacedObject& operator=(const TInterfacedObject&) = delete;
  virtual ~TInterfacedObject() = default;

  long RefCount() const { return refCount_.load(); }

 protected:
  long DoAddRef() { return ++refCount_; }
  long DoRelease() {
    long left = --refCount_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<long> refCount_{0};
};

/// Implements the three IInterface operations for a class that derives from
/// TInterfacedObject and one interface. QueryInterface answers no identifier:
/// the interfaces of this system are used through their static types.
#define TESMIRA_IMPLEMENT_IINTERFACE                          \
  long QueryInterface(const TGUID&, void** object) override { \
    if (object) *object = nullptr;                            \
    return E_NOINTERFACE_RESULT;                              \
  }                                                           \
  long AddRef() override {                                    \
    return DoAddRef();                                        \
  }                                                           \
  long Release() override {                                   \
    return DoRelease();                                       \
  }
