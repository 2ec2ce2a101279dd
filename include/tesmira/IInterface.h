#pragma once

#include <cstdint>

/// 128-bit interface identifier, laid out like the Windows GUID.
struct TGUID {
  uint32_t D1;
  uint16_t D2;
  uint16_t D3;
  uint8_t D4[8];
  bool operator==(const TGUID&) const = default;
};

/// Result codes of QueryInterface.
inline constexpr long S_OK_RESULT = 0;
inline constexpr long E_NOINTERFACE_RESULT = static_cast<long>(0x80004002L);

/// Reference-counting base of every interface that crosses a module boundary.
/// Interfaces are called by position, so they declare no virtual destructor
/// (it would take vtable slots): objects are released through the count.
class IInterface {
 public:
  virtual long QueryInterface(const TGUID& iid, void** object) = 0;
  virtual long AddRef() = 0;
  virtual long Release() = 0;

 protected:
  ~IInterface() = default;
};
