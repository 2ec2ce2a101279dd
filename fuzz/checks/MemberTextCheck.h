#pragma once

#include <string_view>

/// Member and exclusion texts of composites (SetItemsString, LoadItems,
/// ReloadItemsIfChanged, CodesOf, RemoveCode, CollectItems, ExcludeItems),
/// on a catalogue read from a real database. Input, NUL-separated: the
/// member text of a new combination item, the member texts given to the
/// catalogue's composites 000010, 000011 and 000020 (so texts may name each
/// other, also in cycles), and the new item's exclusion text. Every built
/// composite holds, in text order and once each, the first catalogue entry
/// for every code it names (blanks around a code ignored) and writes exactly
/// their codes; it is in each member's UsedBy and in no other; a written
/// text built again gives the same members and text, and so does a text
/// read again after a change; the codes of a text are its trimmed non-empty
/// entries; removing a code takes out its first whole entry only;
/// collecting finds every reachable entry of a kind once and ends on
/// cycles; a freed composite is in no UsedBy; and the texts saved to the
/// database read back unchanged.
void CheckMemberText(std::string_view input);
