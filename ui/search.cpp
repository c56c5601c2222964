#include "ui/search.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <map>
#include <utility>

#include "platform/reg_text.h"

namespace corvanel::ui {

using forms::ComponentKind;
using platform::AppendUtf8;
using forms::Control;
using forms::TabSheet;

namespace {

// Base letters of U+00C0..U+00FF and U+0100..U+017F; '?' marks the letters folded to two
// (Æ, Þ, ß, Ĳ, Œ) and the two signs (×, ÷) that stay as they are.
constexpr std::string_view kLatin1 = "aaaaaa?ceeeeiiiidnooooo?ouuuuy??aaaaaa?ceeeeiiiidnooooo?ouuuuy?y";
constexpr std::string_view kLatinExtendedA =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii??jjkkkllllllllllnnnnnnnnnoooooo??rrrrrrssssssss"
    "ttttttuuuuuuuuuuuuwwyyyzzzzzzs";


// A byte that starts no valid UTF-8 sequence stands for itself, above every code point, so
// nothing a user typed is lost.
constexpr char32_t kRawByte = 0x110000u;

char32_t NextCodePoint(std::string_view text, std::size_t* i) {
  const auto b0 = static_cast<unsigned char>(text[*i]);
  std::size_t extra = 0;
  char32_t cp = 0;
  if (b0 < 0x80) {
    ++*i;
    return b0;
  }
  if (b0 >= 0xC2 && b0 < 0xE0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 < 0xF0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 < 0xF5) {
    extra = 3;
    cp = b0 & 0x07;
  }
  if (extra == 0 || *i + extra >= text.size()) {
    ++*i;
    return kRawByte + b0;
  }
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[*i + k]);
    if ((b & 0xC0) != 0x80) {
      ++*i;
      return kRawByte + b0;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  *i += extra + 1;
  return cp;
}

void AppendFolded(std::string& out, char32_t cp) {
  if (cp >= kRawByte) {
    out += static_cast<char>(cp - kRawByte);
  } else if (cp < 0x80) {
    out += static_cast<char>(cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp);
  } else if (cp >= 0xC0 && cp < 0x180) {
    const char base = cp < 0x100 ? kLatin1[cp - 0xC0] : kLatinExtendedA[cp - 0x100];
    if (base != '?') {
      out += base;
      return;
    }
    switch (cp) {
      case 0xC6: case 0xE6: out += "ae"; break;
      case 0xDE: case 0xFE: out += "th"; break;
      case 0xDF: out += "ss"; break;
      case 0x132: case 0x133: out += "ij"; break;
      case 0x152: case 0x153: out += "oe"; break;
      default: AppendUtf8(out, cp); break;
    }
  } else if (cp >= 0x410 && cp <= 0x42F) {
    AppendUtf8(out, cp + 0x20);  // Cyrillic capitals
  } else if (cp >= 0x400 && cp <= 0x40F) {
    AppendUtf8(out, cp + 0x50);
  } else if (cp >= 0x391 && cp <= 0x3AB && cp != 0x3A2) {
    AppendUtf8(out, cp + 0x20);  // Greek capitals
  } else if (cp >= 0xFF21 && cp <= 0xFF3A) {
    out += static_cast<char>('a' + (cp - 0xFF21));  // full-width Latin
  } else if (cp >= 0xFF41 && cp <= 0xFF5A) {
    out += static_cast<char>('a' + (cp - 0xFF41));
  } else {
    AppendUtf8(out, cp);
  }
}

// The caption as the user reads it: "&&" is an ampersand, a single "&" marks the
// accelerator and is not shown.
std::string WithoutAccelerators(std::string_view caption) {
  std::string out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      out += '&';
      ++i;
    }
  }
  return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<std::string> QueryWords(std::string_view query) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < query.size()) {
    while (i < query.size() && IsSpace(query[i])) ++i;
    const std::size_t start = i;
    while (i < query.size() && !IsSpace(query[i])) ++i;
    if (i > start) words.push_back(FoldForSearch(query.substr(start, i - start)));
  }
  return words;
}

std::size_t CodePointCount(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && !IsSpace(c)) ++n;
  }
  return n;
}

// Controls a user enters a value into; a label beside or above one names it.
bool IsEntry(const Control& c) {
  switch (c.Kind()) {
    case ComponentKind::ComboBox:
    case ComponentKind::TrackBar:
    case ComponentKind::Edit:
    case ComponentKind::Memo:
    case ComponentKind::TreeView:
    case ComponentKind::ListView:
      return true;
    default:
      return false;
  }
}

// Shown once its page is in front: hidden tabs and hidden controls are not.
bool Shown(const Control& c) {
  if (const auto* sheet = dynamic_cast<const TabSheet*>(&c); sheet != nullptr && sheet->GetPageControl() != nullptr)
    return sheet->TabVisible();
  return c.Visible();
}

// The entry a one-line label names: the nearest one on its row to its right, else one
// starting just below it. Null for a label naming nothing (information texts, units).
const Control* LabelledEntry(const Control& label) {
  constexpr int kOneLine = 20;
  if (label.Height() > kOneLine || label.Parent() == nullptr) return nullptr;
  const forms::Rect& l = label.Bounds();
  const Control* best = nullptr;
  int best_distance = 0;
  for (const Control* s : label.Parent()->Children()) {
    if (s == &label || !IsEntry(*s) || !Shown(*s)) continue;
    const forms::Rect& r = s->Bounds();
    int distance = -1;
    if (r.top < l.Bottom() + 4 && r.Bottom() > l.top - 4 && r.left > l.left) {
      distance = r.left - l.left;
    } else if (r.top >= l.top + l.height / 2 && r.top - l.Bottom() <= 12 && r.left < l.left + 40 &&
               r.Right() > l.left) {
      distance = 1000 + r.top - l.Bottom();
    }
    if (distance >= 0 && (best == nullptr || distance < best_distance)) {
      best = s;
      best_distance = distance;
    }
  }
  return best;
}

struct Place {
  std::string tab;
  std::string group;
};

void Collect(const Control& parent, const Place& place, int tag, const std::string& page,
             std::vector<SearchRow>* rows) {
  for (const Control* c : parent.Children()) {
    if (!Shown(*c)) continue;
    Place inner = place;
    const Control* target = nullptr;
    switch (c->Kind()) {
      case ComponentKind::TabSheet:
        inner.tab = WithoutAccelerators(c->Caption());
        break;
      case ComponentKind::GroupBox:
        inner.group = WithoutAccelerators(c->Caption());
        break;
      case ComponentKind::CheckBox:
      case ComponentKind::RadioButton:
        target = c;
        break;
      case ComponentKind::Label:
        target = LabelledEntry(*c);
        break;
      default:
        break;
    }
    if (target != nullptr && !c->Caption().empty()) {
      SearchRow row;
      row.page_tag = tag;
      row.page = page;
      row.tab = place.tab;
      row.group = place.group;
      row.caption = WithoutAccelerators(c->Caption());
      row.control = target->Name();
      rows->push_back(std::move(row));
    }
    Collect(*c, inner, tag, page, rows);
  }
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) AppendFolded(out, NextCodePoint(text, &i));
  return out;
}

std::string SearchRow::Where() const {
  static constexpr std::string_view kSeparator = " \xE2\x80\xBA ";  // " › "
  std::string where = page;
  if (!tab.empty()) where.append(kSeparator).append(tab);
  if (group_tells_apart && !group.empty()) where.append(kSeparator).append(group);
  return where;
}

const std::vector<SearchRow>& SettingSearch::Rows() {
  if (!built_) BuildIndex();
  return rows_;
}

void SettingSearch::BuildIndex() {
  built_ = true;
  rows_.clear();
  PageModules pages = main_.MakePages();
  if (pages.empty()) return;
  std::unique_ptr<TCorvanel_FormMain> scratch = main_.MakeScratch(std::move(pages));
  const GroupBar& bar = main_.RzGroupBar1();
  for (const NavGroup& group : bar.Groups()) {
    for (const NavItem& item : group.Items) {
      // Pages without a visible item cannot be opened by the user.
      if (!item.Visible) continue;
      PageModule* module = scratch->Module(item.Tag);
      if (module == nullptr) continue;
      PageContext& ctx = scratch->Context(item.Tag);
      try {
        module->Adapt(ctx, scratch->WindowsVersionClass());
      } catch (const std::exception&) {
        // A page that cannot be adapted here fails the same way when it is opened, where
        // the window reports it; its settings are left out of the index meanwhile.
        continue;
      }
      Collect(ctx.Page(), Place{}, item.Tag, item.Caption, &rows_);
    }
  }
  std::map<std::pair<int, std::string>, int> same;
  for (SearchRow& row : rows_) {
    row.folded_caption = FoldForSearch(row.caption);
    row.folded_context = row.folded_caption + '\n' + FoldForSearch(row.group) + '\n' + FoldForSearch(row.tab);
    ++same[{row.page_tag, row.folded_caption}];
  }
  for (SearchRow& row : rows_) row.group_tells_apart = same[{row.page_tag, row.folded_caption}] > 1;
}

std::vector<const SearchRow*> SettingSearch::Find(std::string_view query) {
  std::vector<const SearchRow*> first;
  if (CodePointCount(query) < kMinimumQuery) return first;
  if (!built_) BuildIndex();
  const std::vector<std::string> words = QueryWords(query);
  std::vector<const SearchRow*> rest;
  for (const SearchRow& row : rows_) {
    const bool all = std::all_of(words.begin(), words.end(), [&row](const std::string& w) {
      return row.folded_context.find(w) != std::string::npos;
    });
    if (!all) continue;
    const bool starts = std::any_of(words.begin(), words.end(), [&row](const std::string& w) {
      return row.folded_caption.compare(0, w.size(), w) == 0;
    });
    (starts ? first : rest).push_back(&row);
  }
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

bool SettingSearch::Open(const SearchRow& row) {
  GroupBar& bar = main_.RzGroupBar1();
  NavItem* item = bar.FindItemByTag(row.page_tag);
  if (item == nullptr || !item->Visible) return false;
  // The item's own click: the same load, guard and highlight as the user's click, even in
  // a collapsed group.
  if (bar.OnItemClick) bar.OnItemClick(*item);
  TabSheet* page = main_.notset().PageByCaption(std::to_string(row.page_tag));
  if (page == nullptr || main_.notset().ActivePage() != page) return false;
  auto* target = main_.TryFind<Control>(row.control);
  if (target == nullptr) return false;
  std::vector<TabSheet*> sheets;
  for (Control* c = target->Parent(); c != nullptr && c != page; c = c->Parent()) {
    if (auto* sheet = dynamic_cast<TabSheet*>(c); sheet != nullptr && sheet->GetPageControl() != nullptr)
      sheets.push_back(sheet);
  }
  for (auto it = sheets.rbegin(); it != sheets.rend(); ++it) {
    if (!(*it)->GetPageControl()->UserSelectTab((*it)->PageIndex())) return false;
  }
  // A disabled control cannot take the focus; its page and tab are in front all the same.
  target->SetFocus();
  return true;
}

}  // namespace corvanel::ui
