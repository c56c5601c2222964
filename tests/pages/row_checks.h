// Small checks the page tests of the system and maintenance pages share: the state of a
// control as one number, expected records written the way the tables name them, and
// records described field by field so a failing comparison says what differs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "engine/setting_queue.h"
#include "forms/forms.h"

namespace corvanel::pages::checks {

using engine::TRegRecor;

inline std::string Describe(const TRegRecor& r) {
  std::ostringstream out;
  out << r.Name << " | ";
  if (r.Kind == engine::kKindSpi) {
    out << "SPI " << r.SpiAction << " ui " << r.SpiUiParam << " pv ";
    if (const auto* n = std::get_if<std::uint32_t>(&r.SpiPvParam)) {
      out << *n;
    } else {
      out << std::get<std::vector<std::uint8_t>>(r.SpiPvParam).size() << " bytes";
    }
    out << " ini " << r.SpiWinIni;
    return out.str();
  }
  out << r.RootKey << " " << r.KeyPath << " [" << r.ValueName << "] type " << int{r.DataType} << " = ";
  if (r.Value.IsInt()) out << r.Value.AsInt();
  if (r.Value.IsText()) out << '"' << r.Value.AsText() << '"';
  if (r.Value.IsBytes()) {
    out << "bytes";
    for (const std::uint8_t b : r.Value.AsBytes()) out << ' ' << int{b};
  }
  out << " action " << r.Action << " kind " << r.Kind;
  return out.str();
}

inline std::vector<std::string> Described(const std::vector<TRegRecor>& records) {
  std::vector<std::string> lines;
  for (const TRegRecor& r : records) lines.push_back(Describe(r));
  return lines;
}

inline TRegRecor Int(std::string name, platform::RegKey root, std::string key, std::string value, std::int32_t n) {
  return engine::WriteRecord(std::move(name), root, std::move(key), std::move(value), 3, engine::MakeInt(n));
}
inline TRegRecor Str(std::string name, platform::RegKey root, std::string key, std::string value, std::string text) {
  return engine::WriteRecord(std::move(name), root, std::move(key), std::move(value), 1,
                             engine::MakeText(std::move(text)));
}
inline TRegRecor Bin(std::string name, platform::RegKey root, std::string key, std::string value,
                     std::vector<std::uint8_t> bytes) {
  return engine::WriteRecord(std::move(name), root, std::move(key), std::move(value), 4,
                             engine::MakeBytes(std::move(bytes)));
}

// A box or radio button as 1 (checked) or 0, an up-down as its position, a list as its
// selected index.
inline int StateOf(const forms::Component& c) {
  if (const auto* box = dynamic_cast<const forms::CheckBox*>(&c)) return box->Checked() ? 1 : 0;
  if (const auto* radio = dynamic_cast<const forms::RadioButton*>(&c)) return radio->Checked() ? 1 : 0;
  if (const auto* updown = dynamic_cast<const forms::UpDown*>(&c)) return updown->Position();
  if (const auto* combo = dynamic_cast<const forms::ComboBox*>(&c)) return combo->ItemIndex();
  ADD_FAILURE() << c.Name() << " has no state as a number";
  return -1;
}

}  // namespace corvanel::pages::checks
