#include "pages/page_rows.h"

#include <cctype>
#include <charconv>

namespace corvanel::pages {

TRegRecor Read(TCorvanel& queue, RegKey root, const std::string& key_path, const std::string& value_name) {
  TRegRecor r = engine::ReadRecord(root, key_path, value_name);
  queue.ReadValue(r);
  return r;
}

std::optional<std::int32_t> AsNumber(const engine::Value& value) {
  if (value.IsInt()) return value.AsInt();
  if (!value.IsText()) return std::nullopt;
  const std::string& t = value.AsText();
  std::size_t b = 0;
  std::size_t e = t.size();
  while (b < e && std::isspace(static_cast<unsigned char>(t[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(t[e - 1]))) --e;
  if (b == e) return std::nullopt;
  if (t[b] == '+') ++b;
  std::int32_t n = 0;
  const auto [end, ec] = std::from_chars(t.data() + b, t.data() + e, n);
  if (ec != std::errc() || end != t.data() + e) return std::nullopt;
  return n;
}

std::optional<bool> ReadEquals(TCorvanel& queue, RegKey root, const std::string& key_path,
                               const std::string& value_name, std::int32_t n) {
  const TRegRecor r = Read(queue, root, key_path, value_name);
  if (r.Status != engine::kStatusFound) return std::nullopt;
  const auto number = AsNumber(r.Value);
  return number.has_value() && *number == n;
}

std::optional<bool> ReadNonZero(TCorvanel& queue, RegKey root, const std::string& key_path,
                                const std::string& value_name) {
  const auto number = ReadNumber(queue, root, key_path, value_name);
  if (!number) return std::nullopt;
  return *number != 0;
}

std::optional<std::int32_t> ReadNumber(TCorvanel& queue, RegKey root, const std::string& key_path,
                                       const std::string& value_name) {
  const TRegRecor r = Read(queue, root, key_path, value_name);
  if (r.Status != engine::kStatusFound) return std::nullopt;
  return AsNumber(r.Value);
}

BoxState ReadFlag(TCorvanel& queue, const RegFlag& flag) {
  const TRegRecor r = Read(queue, flag.root, flag.key_path, flag.value_name);
  if (r.Status != engine::kStatusFound) return flag.missing;
  if (flag.read == FlagRead::kAnyButZero) return NotZero(r.Value) != flag.inverted;
  const auto number = AsNumber(r.Value);
  if (flag.read == FlagRead::kEqualsOne) return (number.has_value() && *number == 1) != flag.inverted;
  // A value of a type the row does not expect: the box stays as the form defines it.
  if (!number) return kKeep;
  if (flag.read == FlagRead::kNumberIsOne) return (*number == 1) != flag.inverted;
  return (*number != 0) != flag.inverted;
}

TRegRecor FlagRecord(std::string name, const RegFlag& flag, bool checked) {
  return FlagRecord(std::move(name), flag.root, flag.key_path, flag.value_name, checked, flag.inverted);
}

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

bool ReadKeyHasDefault(TCorvanel& queue, RegKey root, const std::string& key_path) {
  return Read(queue, root, key_path, "").Status == engine::kStatusFound;
}

void SetCheckedIf(forms::CheckBox& box, std::optional<bool> checked) {
  if (checked) box.SetChecked(*checked);
}

void DefaultCheck(forms::CheckBox& box, BoxState state) {
  if (box.VisibleOnScreen()) SetCheckedIf(box, state);
}

void DefaultSelect(forms::RadioButton& radio) {
  if (radio.VisibleOnScreen()) radio.SetChecked(true);
}

void DefaultSelect(forms::ComboBox& list, int index) {
  if (!list.VisibleOnScreen() || list.ItemIndex() == index) return;
  list.SetItemIndex(index);
  if (list.ItemIndex() == index && list.OnChange) list.OnChange(list);
}

void DefaultPosition(forms::TrackBar& bar, int position) {
  if (bar.VisibleOnScreen()) bar.SetPosition(position);
}

void DefaultPosition(forms::UpDown& updown, int position) {
  if (updown.VisibleOnScreen()) updown.SetPosition(position);
}

void DefaultPositionClicked(forms::UpDown& updown, int position) {
  if (!updown.VisibleOnScreen()) return;
  const int before = updown.Position();
  updown.SetPosition(position);
  if (updown.Position() != before && updown.OnClick) updown.OnClick(updown);
}

bool BitOf(const engine::Value::Bytes& bytes, int bit) {
  const auto byte = static_cast<std::size_t>(bit / 8);
  return byte < bytes.size() && (bytes[byte] >> (bit % 8) & 1) != 0;
}

engine::Value::Bytes WithBit(engine::Value::Bytes bytes, int bit, bool on) {
  const auto byte = static_cast<std::size_t>(bit / 8);
  if (bytes.size() <= byte) bytes.resize(byte + 1, 0);
  const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
  bytes[byte] = static_cast<std::uint8_t>(on ? (bytes[byte] | mask) : (bytes[byte] & ~mask));
  return bytes;
}

TRegRecor StringRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                       std::string text) {
  return engine::WriteRecord(std::move(name), root, std::move(key_path), std::move(value_name), 1,
                             engine::MakeText(std::move(text)));
}

TRegRecor IntegerRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                        std::int32_t n) {
  return engine::WriteRecord(std::move(name), root, std::move(key_path), std::move(value_name), 3,
                             engine::MakeInt(n));
}

TRegRecor BinaryRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                       engine::Value::Bytes bytes) {
  return engine::WriteRecord(std::move(name), root, std::move(key_path), std::move(value_name), 4,
                             engine::MakeBytes(std::move(bytes)));
}

TRegRecor FlagRecord(std::string name, RegKey root, std::string key_path, std::string value_name, bool checked,
                     bool inverted) {
  return IntegerRecord(std::move(name), root, std::move(key_path), std::move(value_name),
                       checked != inverted ? 1 : 0);
}

std::optional<std::uint32_t> MaskNumber(const TRegRecor& read) {
  if (read.Status != engine::kStatusFound) return std::nullopt;
  const engine::Value& v = read.Value;
  if (v.IsInt()) return static_cast<std::uint32_t>(v.AsInt());
  if (v.IsBytes()) {
    std::uint32_t n = 0;
    const auto& bytes = v.AsBytes();
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) n |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return n;
  }
  if (v.IsText() && (read.DataType == engine::kTypeText || read.DataType == engine::kTypeExpandText)) {
    if (const auto n = AsNumber(v)) return static_cast<std::uint32_t>(*n);
    // Digits beyond the signed range still name a mask.
    const std::string t = Trimmed(v.AsText());
    std::uint32_t n = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (ec == std::errc() && end == t.data() + t.size() && !t.empty()) return n;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> ReadMask(TCorvanel& queue, RegKey root, const std::string& key_path,
                                      const std::string& value_name) {
  TRegRecor r = engine::ReadRecord(root, key_path, value_name);
  queue.ReadLatest(r, true);
  return MaskNumber(r);
}

std::optional<TRegRecor> MaskBitRecord(TCorvanel& queue, std::string name, RegKey root, std::string key_path,
                                       std::string value_name, std::uint32_t bits, bool on) {
  TRegRecor latest = engine::ReadRecord(root, key_path, value_name);
  queue.ReadLatest(latest, true);
  const bool found = latest.Status == engine::kStatusFound;
  const std::optional<std::uint32_t> number = MaskNumber(latest);
  if (found && !number) return std::nullopt;
  const std::uint32_t stored = number.value_or(0);
  const std::uint32_t mask = on ? (stored | bits) : (stored & ~bits);
  if (found && latest.Value.IsBytes()) {
    engine::Value::Bytes bytes = latest.Value.AsBytes();
    for (int bit = 0; bit < 32; ++bit) {
      if ((bits >> bit & 1u) != 0) bytes = WithBit(std::move(bytes), bit, on);
    }
    const std::uint8_t type = latest.DataType == engine::kTypeQword ? engine::kTypeQword : engine::kTypeBinary;
    return engine::WriteRecord(std::move(name), root, std::move(key_path), std::move(value_name), type,
                               engine::MakeBytes(std::move(bytes)));
  }
  if (found && latest.Value.IsText()) {
    return engine::WriteRecord(std::move(name), root, std::move(key_path), std::move(value_name), latest.DataType,
                               engine::MakeText(std::to_string(mask)));
  }
  return IntegerRecord(std::move(name), root, std::move(key_path), std::move(value_name),
                       static_cast<std::int32_t>(mask));
}

namespace {
bool putting_back = false;  // the GUI thread's only; see PutBack
}  // namespace

void PutBack(forms::CheckBox& box) {
  struct Scope {
    Scope() { putting_back = true; }
    ~Scope() { putting_back = false; }
  } scope;
  box.SetChecked(!box.Checked());
}

bool PuttingBack() { return putting_back; }

int TextLines(std::string_view text, int width) {
  // The dialog font's average character is about 6 px wide at 96 DPI; words wrap a little
  // early, so a line holds somewhat less than width / 6.
  constexpr int kCharWidth = 6;
  int units = 0;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      units += 1;
    } else if (b >= 0xC0) {
      units += 2;  // a lead byte: one wide character
    }
  }
  const int per_line = width / kCharWidth;
  if (per_line <= 0) return 1;
  return units == 0 ? 1 : (units + per_line - 1) / per_line;
}

int InfoText(forms::Form& form, forms::Control& parent, std::string name, int top, std::string text, int left,
             int width) {
  const int height = TextLines(text, width) * layout::kLabelHeight;
  // The renderer wraps a label only from two lines' height on.
  form.Create<forms::Label>(parent, std::move(name), forms::Rect{left, top, width, height}, std::move(text));
  return top + height + 6;
}

std::optional<std::string> ValueText(const engine::Value& value) {
  if (value.IsText()) return value.AsText();
  if (value.IsInt()) return std::to_string(value.AsInt());
  return std::nullopt;
}

bool NotZero(const engine::Value& value) {
  const auto n = AsNumber(value);
  return !n.has_value() || *n != 0;
}

}  // namespace corvanel::pages
