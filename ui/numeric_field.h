// Numeric entry fields: an edit with an up-down beside it, digits only, kept inside a
// range, every change passed on to a page forwarder with a fixed sender. One table holds
// every field of the window; the window binds each row whose controls exist.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "forms/forms.h"

namespace corvanel::ui {

class TCorvanel_FormMain;

enum class ForwardWhen {
  Always,       // after every change of the text
  WhileFocused  // only while the edit has the focus (up-down clicks go through the up-down)
};
enum class SenderIs { UpDown, Edit };
// The two cursor-width fields: a typed 0 becomes 1 while typing; the Input Options one
// also has its own Exit rule (empty or negative becomes 1, 0 is left alone).
enum class CursorRule { None, ZeroBecomesOne, ZeroBecomesOneOwnExit };

struct NumericFieldRow {
  const char* edit;
  const char* updown;
  int min;
  int max;
  int design;
  int max_length;  // 0: no limit
  int exit_bound;  // lowest number accepted on leaving; what an empty field becomes
  int change_bound;  // highest number accepted while typing
  ForwardWhen forwards;
  SenderIs sender;
  int page_tag;  // whose forwarder receives the changes
  const char* updown_click;  // the up-down's click event; null for none
  CursorRule cursor;
};

// Edit and up-down pairs without events of their own: range and design position only,
// and for one of them the up-down click event.
struct PlainUpDownRow {
  const char* edit;
  const char* updown;
  int min;
  int max;
  int design;
  const char* updown_click;  // null for none
};

// What an up-down click event does: forward to `page_tag` with the up-down (or, when
// `edit_sender` names one, that edit) as sender.
struct UpDownClickRow {
  const char* event;
  int page_tag;
  const char* edit_sender;  // null: the up-down itself
};

// Plain text fields passing their key releases to a forwarder with the edit as sender
// (only those that find the text changed: TCorvanel_FormMain::ForwardKeyUp).
struct KeyUpRow {
  const char* edit;
  const char* event;
  int page_tag;
};

std::span<const NumericFieldRow> NumericFields();
std::span<const PlainUpDownRow> PlainUpDowns();
std::span<const UpDownClickRow> UpDownClickEvents();
std::span<const KeyUpRow> KeyUpFields();

// The key filter of every numeric edit: digits and backspace pass, everything else is
// discarded (set to 0).
void NumericKeyFilter(char32_t& key);

// Reads a decimal number (digits only, optional leading minus); false for anything else,
// including numbers beyond 32 bits.
bool ParseNumber(const std::string& text, int* value);

// Binds every row of the tables whose controls exist on `main`: range, design position,
// maximum length, association, and the Change / Exit / KeyPress / up-down click / key-up
// events. Returns how many numeric rows were bound.
std::size_t BindNumericFields(TCorvanel_FormMain& main);

}  // namespace corvanel::ui
