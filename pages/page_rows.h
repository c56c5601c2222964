// Small helpers for the rows of the settings pages: the lenient reads a loader makes, and
// the record shapes the change handlers queue. A page's rows should read like its table:
//   SetCheckedIf(box, ReadEquals(queue, HKLM, kAdvanced, "EncryptionContextMenu", 1));
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/setting_queue.h"
#include "forms/controls.h"
#include "pages/page_layout.h"

namespace corvanel::pages {

using engine::TCorvanel;
using engine::TRegRecor;
using platform::RegKey;

// A check box's state as a read, a Default / preset column or a missing value gives it;
// kKeep leaves the box as it is.
using BoxState = std::optional<bool>;
inline constexpr BoxState kChecked = true;
inline constexpr BoxState kCleared = false;
inline constexpr BoxState kKeep = std::nullopt;

// ReadValue of one location; the record carries Status, DataType and Value.
TRegRecor Read(TCorvanel& queue, RegKey root, const std::string& key_path, const std::string& value_name);

// The value as a number: an integer as it is, a text when it is a decimal integer
// (surrounding blanks allowed). Anything else has no number.
std::optional<std::int32_t> AsNumber(const engine::Value& value);

// "Equals n as a number or the text": nullopt when the value is not found (Status 1 or 2),
// otherwise whether it equals n.
std::optional<bool> ReadEquals(TCorvanel& queue, RegKey root, const std::string& key_path,
                               const std::string& value_name, std::int32_t n);
// "Compared as a number with 0": nullopt when not found or not a number, else value != 0.
std::optional<bool> ReadNonZero(TCorvanel& queue, RegKey root, const std::string& key_path,
                                const std::string& value_name);
// The value as a number (AsNumber); nullopt when it is not found or is no number.
std::optional<std::int32_t> ReadNumber(TCorvanel& queue, RegKey root, const std::string& key_path,
                                       const std::string& value_name);

// The "Key" read: true when the key exists and has a default value (Status 0).
bool ReadKeyHasDefault(TCorvanel& queue, RegKey root, const std::string& key_path);

// Leaves the box as it is when the read found nothing.
void SetCheckedIf(forms::CheckBox& box, std::optional<bool> checked);

// --- Default and preset buttons ----------------------------------------------------
// A Default or preset button shows its choice the way the user's own change would make
// it, so that Apply writes exactly what the window shows and nothing for a control already
// in that state. A control the version adaptation hid keeps its state: it was never read,
// and a write for it would change a setting nobody can see.
void DefaultCheck(forms::CheckBox& box, BoxState state);
void DefaultSelect(forms::RadioButton& radio);
// A list raises its change event only for the user's choice, so a changed selection is
// passed on here as that choice would be.
void DefaultSelect(forms::ComboBox& list, int index);
void DefaultPosition(forms::TrackBar& bar, int position);
// A numeric field whose edit passes every change on.
void DefaultPosition(forms::UpDown& updown, int position);
// A numeric field whose edit passes on only typed changes: a changed position goes on
// through the up-down's click event, as arrow clicks take it there.
void DefaultPositionClicked(forms::UpDown& updown, int position);

// Bit `bit` (0 = lowest) of a little-endian byte string; false beyond its end.
bool BitOf(const engine::Value::Bytes& bytes, int bit);
// The byte string with bit `bit` set or cleared, grown with zero bytes when too short.
engine::Value::Bytes WithBit(engine::Value::Bytes bytes, int bit, bool on);

// String (DataType 1), integer (3) and binary (4) writes, named after the sender.
TRegRecor StringRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                       std::string text);
TRegRecor IntegerRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                        std::int32_t n);
TRegRecor BinaryRecord(std::string name, RegKey root, std::string key_path, std::string value_name,
                       engine::Value::Bytes bytes);
// A write of 1 (checked) or 0 (unchecked); `inverted` for the "No..." policy values that
// store 1 when the box is cleared.
TRegRecor FlagRecord(std::string name, RegKey root, std::string key_path, std::string value_name, bool checked,
                     bool inverted = false);

// An integer value a check box stands for.
enum class FlagRead : std::uint8_t {
  kNonZero,      // on when the number is not 0; a value that is no number leaves the box
  kEqualsOne,    // on when it equals 1 as a number or the text; any other value is off
  kNumberIsOne,  // as kEqualsOne, but a value that is no number leaves the box
  kAnyButZero,   // on for any value but the number 0 (policies read by their presence)
};
struct RegFlag {
  RegKey root;
  const char* key_path;
  const char* value_name;
  FlagRead read = FlagRead::kNonZero;
  // The "No..." policy values: the box is checked while the value says off, and a
  // cleared box stores 1.
  bool inverted = false;
  // What a missing value (or key) shows.
  BoxState missing = kKeep;
};
BoxState ReadFlag(TCorvanel& queue, const RegFlag& flag);
TRegRecor FlagRecord(std::string name, const RegFlag& flag, bool checked);

// Without surrounding blanks and control characters, as a typed or pasted command or
// number is taken.
std::string Trimmed(std::string_view text);

// The row of a page's table whose `key` member (its control name by default) is `name`.
template <class Row, std::size_t N>
const Row* RowNamed(const Row (&rows)[N], std::string_view name, const char* const Row::*key = &Row::name) {
  for (const Row& row : rows) {
    if (name == row.*key) return &row;
  }
  return nullptr;
}

// Runs one loader read. A failing read leaves its control as the form defines it and the
// loader goes on with the next one, so the error is swallowed here, in one place.
template <class F>
void Guarded(F&& read) noexcept {
  try {
    read();
  } catch (const std::exception&) {
    // A read of an unexpected type or shape: the control keeps its design state.
  }
}

// --- Bits of a mask value, whatever type it is stored in --------------------------
// Policy masks such as NoDriveTypeAutoRun are integers as Windows writes them, but tools
// and .reg files leave them as bytes or text too; a bit of such a value must still be
// shown and changed, never fail.

// The mask of a read record as a number: an integer as it is, a decimal text, bytes (a
// QWORD's too) as a little-endian number (the first four). Nullopt when the value was not
// found, or is of a type that holds no number (a text of no digits, a multi-string).
std::optional<std::uint32_t> MaskNumber(const TRegRecor& read);
// The mask as a loader shows it: what the queue would leave after Apply, else the stored
// value, a QWORD included.
std::optional<std::uint32_t> ReadMask(TCorvanel& queue, RegKey root, const std::string& key_path,
                                      const std::string& value_name);

// The write that sets (`on`) or clears `bits` of the mask at one location, starting from
// what the queue would leave there after Apply (a queued write, from this page or another,
// else the stored value; a missing or deleted value counts as 0). The result keeps the
// stored type: bytes keep their length and other bytes, a text stays a decimal text, a
// QWORD stays a QWORD; a missing value becomes an integer. Nothing for a value that holds
// no number: there is no bit to change, and replacing it would lose what it says.
std::optional<TRegRecor> MaskBitRecord(TCorvanel& queue, std::string name, RegKey root, std::string key_path,
                                       std::string value_name, std::uint32_t bits, bool on);

// Shows `box` as it was before a click its handler could not queue. The click this raises
// reaches the handler again, which ignores it while PuttingBack() is true.
void PutBack(forms::CheckBox& box);
bool PuttingBack();

// How many lines `text` takes when wrapped in `width` pixels of the dialog font. A wide
// (multi-byte) character counts twice, so Chinese captions get their room too.
int TextLines(std::string_view text, int width);

// A wrapped information text at `top` of `parent` (a group box's row column by default);
// returns the top of what follows it.
int InfoText(forms::Form& form, forms::Control& parent, std::string name, int top, std::string text,
             int left = layout::kRowLeft, int width = layout::kRowWidth);

// A value shown "as text" in an edit: a text as it is, an integer in decimal. Binary data
// and other types have no text.
std::optional<std::string> ValueText(const engine::Value& value);

// "Not 0": anything but the number 0, also a value that is no number (the rows whose
// setting is on while its value is missing or not 0).
bool NotZero(const engine::Value& value);

}  // namespace corvanel::pages
