// Registry export files (.reg) of queued records, in the form that Windows' own `reg
// import` and Registry Editor read: "Windows Registry Editor Version 5.00", CR LF line
// ends, full root names, UTF-16LE with a byte-order mark on disk.
//
// A record reaches the file exactly as Apply would store it: its Value is converted by
// DataType with the queue's own conversions (StoredValueOf). Changes a .reg cannot carry
// (system parameters, and whatever the caller adds: services, Firefox preferences) are
// listed in `;` comment lines at the top, so that nothing is left out silently.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/setting_queue.h"
#include "platform/platform.h"

namespace corvanel::engine {

// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT"; "" for any other root.
std::string RegRootName(platform::RegKey root);

// `"name"` with `\` and `"` escaped, or `@` for the default (empty) value name.
std::string RegValueNameText(const std::string& value_name);

// The right-hand side of one value line: `"text"`, `dword:0000002a`, `hex:01,02`,
// `hex(2):...`, `hex(7):...`, `hex(b):...`, `hex(N):...`; the line starts with `lead`
// (`"name"=`) and hex data is wrapped at 80 columns with `,\` as Registry Editor does.
// The result does not end with a line break.
std::string RegValueLine(const std::string& lead, std::uint32_t type, const std::vector<std::uint8_t>& bytes);

// The name of a system-parameter action ("SPI_SETBEEP"), or "SPI 0x1234" when unknown.
std::string SpiActionName(std::uint32_t action);

// The whole text of a .reg file that makes the registry changes of `records` (queue
// order; the 64-bit-view actions under the same path, since a 64-bit import writes
// there). `comments` are written first as `; ` lines, each as given (no CR/LF inside),
// then one comment line per system-parameter record and per record whose value does not
// convert (Apply would stop there). `system` converts text to the ANSI bytes of a binary
// value as Apply does. Lines end in CR LF; the text is UTF-8.
std::string RegFileText(const std::vector<TRegRecor>& records, platform::System& system,
                        const std::vector<std::string>& comments = {});

// The bytes to write to disk: UTF-16LE with byte-order mark.
std::vector<std::uint8_t> RegFileBytes(const std::string& text);

}  // namespace corvanel::engine
