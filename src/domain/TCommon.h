#pragma once

#include <cstdint>
#include <string>

/// The pinyin mnemonic of item names: each Chinese character becomes the
/// upper-case initial of its reading (level-1 GB2312 characters by code
/// range, a few level-2 ones by code point, anything else a space), ASCII is
/// copied unchanged, and the mnemonic keeps the first six characters. Input
/// and output are GBK byte strings. No state, no database.
class TCommon {
 public:
  /// 0: the instance or null; 1: make it if missing; 2: forget it (returns
  /// null, frees nothing). Other requests raise Exception
  /// "Illegal request %d in AccessInstance".
  static TCommon* AccessInstance(int request);
  static TCommon& Instance() { return *AccessInstance(1); }

  TCommon() = default;
  /// The registered instance forgets itself first.
  ~TCommon();
  TCommon(const TCommon&) = delete;
  TCommon& operator=(const TCommon&) = delete;

  /// GetPYInitials cut to its first six characters.
  std::string GetPYCode(const std::string& text) const;
  /// One character per single-byte character (copied) and per two-byte
  /// character (its initial or a space). A lead byte with nothing after it
  /// counts as a pair with second byte 0.
  std::string GetPYInitials(const std::string& text) const;
  /// The initial of one two-byte character code (first byte * 256 + second),
  /// or a space.
  char GetPYInitial(uint16_t code) const;
};
