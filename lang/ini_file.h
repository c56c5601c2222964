// The in-memory reader of language files: an ini text format with byte-order-mark
// detection, read once and then answered from an index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace corvanel::lang {

// Reads an ini file and answers look-ups from memory.
//
// Format: encoding from a byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE), otherwise the
// system's ANSI code page; lines end with CR LF, LF or CR; every line is trimmed of
// blanks and control characters; empty lines and lines starting with ";" are skipped;
// "[name]" opens a section; lines before the first section are ignored; inside a section
// "key = value" is an entry split at the first "=", both sides trimmed, nothing quoted
// or escaped. A line without "=" is kept (ReadSectionValues shows it) but is never found
// by a key look-up.
//
// Section names and keys are compared without regard to letter case (ASCII, Latin-1,
// Greek and Cyrillic letters). When a section header occurs more than once, the later
// blocks are appended to the first one; when a key occurs more than once in a section,
// the first occurrence is the one every look-up finds.
class TExtIniFile {
 public:
  TExtIniFile(platform::Files& files, platform::System& system);

  // Reads and parses `path`, replacing the previous contents. A file that cannot be read
  // leaves the previous contents in place and returns false.
  bool LoadFromFile(const std::string& path);
  // Parses raw file bytes (encoding detected as for a file), replacing the contents.
  void LoadFromBytes(const std::vector<std::uint8_t>& bytes);
  void Clear();

  std::string ReadString(std::string_view section, std::string_view key, const std::string& def) const;
  // True when the section exists and has an entry with that key.
  bool ValueExists(std::string_view section, std::string_view key) const;
  bool SectionExists(std::string_view section) const;
  // The section's stored lines in file order, entries as key "=" value; empty for a
  // missing section.
  std::vector<std::string> ReadSectionValues(std::string_view section) const;
  // Section names in file order (a repeated header is listed once).
  std::vector<std::string> ReadSections() const;

 private:
  struct Entry {
    std::string line;        // "key=value", or the line as read when it has no "="
    std::size_t key_length;  // length of the key in `line`; npos for a line without "="
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> index;  // folded key -> entry
  };

  const Section* FindSection(std::string_view section) const;
  const Entry* FindEntry(std::string_view section, std::string_view key) const;
  void Parse(const std::string& utf8);

  platform::Files* files_;
  platform::System* system_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> section_index_;  // folded name -> section
};

// Bytes of a text file to UTF-8: a UTF-8, UTF-16 LE or UTF-16 BE byte-order mark decides
// the encoding (invalid sequences become U+FFFD, an odd trailing UTF-16 byte is dropped);
// without one the bytes are converted from the ANSI code page by `system`.
std::string DecodeTextFile(const std::vector<std::uint8_t>& bytes, platform::System& system);

// The case-insensitive form of a section name or key used by the index.
std::string FoldCase(std::string_view text);

}  // namespace corvanel::lang
