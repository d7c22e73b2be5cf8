#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "posix/reg_tree.h"

namespace veldrask::posix {

// The REGEDIT4 text format that the registry editor exports and imports, for one hive:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\Key]
//   "name"="text"
//   @="the default value"
//   "bytes"=hex:01,02,03      (long lists go on, indented, after a line ending in "\")
//   "path"=hex(2):25,00
//   "count"=dword:0000000a
//
// Text is bytes of the ANSI code page, written raw; only "\" and """ are escaped.

// Reads the keys and values of hiveName (e.g. "HKEY_LOCAL_MACHINE") from text. What cannot be
// read (a garbled or cut-off line, a section of another hive, a deletion entry, a key past the
// registry's limits (IsWithinKeyLimits), the values under any of these) is skipped and counted in
// unreadLines, when given; a section's key exists even when none of its values could be read.
RegTree ParseRegFile(std::string_view text, std::string_view hiveName,
                     std::size_t* unreadLines = nullptr);

// The text of the tree, CRLF line ends. A key with neither values nor subkeys has a section
// of its own; a key without values above others is implied by theirs. A string value that is
// printable text ending in exactly one NUL is written "name"="text"; every other value as hex(type)
// bytes, so that parsing gives back the same types and bytes.
std::string FormatRegFile(const RegTree& tree, std::string_view hiveName);

// Whether a key or value name can be written: the format has no way to write a line break or
// a NUL inside a name.
bool IsStorableName(std::string_view name);

}  // namespace veldrask::posix
