#pragma once

#include <string>
#include <string_view>

/// The one conversion between the system's GBK byte strings and UTF-8, used at
/// every edge (widgets, configuration file, database). The GB18030 code page
/// is used for the conversion: it is byte-identical to GBK for every GBK
/// character and can also carry the rare characters GBK lacks, so text typed
/// in a window is never lost on its way to the database and back.
namespace GbkText {

/// UTF-8 -> GBK. Invalid UTF-8 sequences become '?'. The private-use
/// characters GBK gives codes to (U+E78D..E796 and some of U+E816..E864),
/// which the GB18030 converter refuses, are written as those GBK codes.
std::string FromUtf8(std::string_view utf8);

/// GBK -> UTF-8. Invalid GBK sequences become U+FFFD.
std::string ToUtf8(std::string_view gbk);

/// True when every byte is below 0x80 (the text reads the same in both).
bool IsAscii(std::string_view text);

/// Frees the converters (the next conversion makes new ones). Part of
/// unloading the library.
void ReleaseConverters();

}  // namespace GbkText
