#pragma once

#include <string_view>

/// Pinyin mnemonics (TCommon): one output character per input character (a
/// byte below 0x80 is one and is copied, any other byte starts a pair), a
/// pair gives an upper-case initial other than I, U, V or a space, every
/// code of the level-1 block B0A1..D7F9 gives a letter and every code below
/// it a space, and the mnemonic is the first six characters.
void CheckMnemonic(std::string_view input);
