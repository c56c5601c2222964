// The navigation group bar drawn by the program itself: collapsible groups with a
// caption strip and a chevron, items with their glyph and caption in the colours and
// styles the model gives them, a scroll bar when the groups are taller than the bar.
#pragma once


#include <memory>
#include <vector>

#include "ui/navigation.h"
#include "ui/win32/art.h"
#include "ui/win32/form_view.h"
// After the model headers: Windows macros would clash with their names.
#include "platform/win32/windows_api.h"

namespace corvanel::ui::win32 {

class GroupBarView : public GroupBarObserver {
 public:
  // Creates the bar's window as a child of `parent`; the view lives as long as the window.
  static HWND Create(FormView& view, GroupBar& bar, HWND parent, int id);

  ~GroupBarView() override;
  GroupBarView(const GroupBarView&) = delete;
  GroupBarView& operator=(const GroupBarView&) = delete;

  // The view of a bar window made by Create, or null.
  static GroupBarView* FromWindow(HWND hwnd);

  void GroupBarChanged(GroupBar& bar, int group, int item) override;

  // Centre of an item's row in client coordinates after scrolling it into view; false
  // when the item is not shown.
  bool ItemPoint(int tag, POINT* point);
  GroupBar& Bar() const { return bar_; }

 private:
  struct Row {
    enum class Kind { Header, Item } kind;
    int group;
    int item;
    RECT rc;  // in content coordinates (before scrolling)
  };

  GroupBarView(FormView& view, GroupBar& bar);
  void Layout();
  void Paint(HDC dc, const RECT& client);
  const Row* HitTest(POINT client_point) const;
  void ScrollTo(int pos);
  HFONT ItemFont(bool bold);
  int S(int v) const { return view_.Scale(v); }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  FormView& view_;
  GroupBar& bar_;
  HWND hwnd_ = nullptr;
  std::vector<Row> rows_;
  int content_height_ = 0;
  int scroll_ = 0;
  int hot_row_ = -1;
  bool tracking_ = false;
  HFONT bold_font_ = nullptr;
  HFONT normal_font_ = nullptr;
  int font_dpi_ = 0;
  std::unique_ptr<GlyphStrip> glyphs_;

  // The item glyphs at the bar's current size, drawn when first needed.
  GlyphStrip& Glyphs();
};

}  // namespace corvanel::ui::win32
