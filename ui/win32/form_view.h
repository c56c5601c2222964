// Renders a forms::Form as real Win32 controls: one HWND per model control, created in
// the model's parent/child structure, kept in step with the model through FormObserver,
// and the user's input turned into the model's User* operations.
//
// Direction of flow: model -> HWND happens in Push* under a guard, so the notifications a
// control sends while we change it (EN_CHANGE, LVN_ITEMCHANGED, TCN_SELCHANGE, ...) are
// not taken for the user's input. After every user operation the control is synced back
// from the model, which is how a refused input (a disabled box, a filtered key) is undone.
#pragma once


#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "forms/forms.h"
// After the model headers: Windows macros would clash with their names.
#include "platform/win32/windows_api.h"

namespace corvanel::ui::win32 {

class FormView : public forms::FormObserver {
 public:
  struct Hooks {
    // An error escaped a model handler; the view has already stopped what it was doing.
    std::function<void(const std::string& message)> report_error;
    // Windows for controls of the Custom kind (the group bar); null: a plain panel.
    std::function<HWND(forms::Control& control, HWND parent, int id)> create_custom;
    // Paints a panel's background instead of its plain colour (the header gradient);
    // return false to fall back to the colour. Labels on such a panel are transparent.
    std::function<bool(forms::Control& panel, HDC dc, const RECT& client)> paint_backdrop;
    // Paints an image control's picture over its background.
    std::function<void(forms::Image& image, HDC dc, const RECT& client)> paint_image;
    // The font of every control that has no font of its own.
    std::wstring face = L"Tahoma";
    int height96 = -11;
  };

  FormView(forms::Form& form, HWND host, int dpi, Hooks hooks);
  ~FormView() override;
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  // Creates the windows of every control the form has now; later ones follow as created.
  // With `defer_sheets`, even the sheets in front wait: they get their windows when they
  // come to the front again or at RealizeShownSheets, whichever is first.
  void Build(bool defer_sheets = false);
  // Creates the windows of the sheets in front that still wait for them.
  void RealizeShownSheets();

  forms::Form& Form() const { return form_; }
  HWND Host() const { return host_; }
  int Dpi() const { return dpi_; }
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }
  // Rescales positions and fonts (WM_DPICHANGED).
  void SetDpi(int dpi);

  static std::int64_t MicrosecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
  }
  // Time spent so far inside the system's window creation for the model's controls, in
  // microseconds: what a page's first visit costs that is not the program's own work.
  std::int64_t WindowCreationMicroseconds() const { return creation_us_; }

  HWND WindowOf(const forms::Component& component) const;
  forms::Control* ControlOf(HWND hwnd) const;
  HWND FindByName(const std::string& name) const;

  // Messages reaching the host or a container window: commands, notifications, scrolls,
  // colours and timers of the model's controls. True when handled (result set).
  bool Route(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // Runs a model operation; an exception it raises goes to the error reporter.
  void Guarded(const std::function<void()>& work);

  // Font for a control (its own or inherited), at the current DPI.
  HFONT FontFor(const forms::Control& control);
  // Effective background colour (own, else the parents', else the dialog colour).
  COLORREF BackgroundOf(const forms::Control& control) const;
  // Paints what lies behind a child: the parent's backdrop or colour.
  void PaintBehind(HWND child, HDC dc);

  void Changed(forms::Component& component, forms::Property property, int index) override;

  // Tab / Shift+Tab: the next control in the model's tab order that the user can reach
  // on the visible pages. False when there is none.
  bool FocusNext(bool backward);
  // Arrow keys on a radio button: the next one of its group. False when the focus is
  // not on a radio button.
  bool MoveInRadioGroup(bool backward);

 private:
  struct View {
    forms::Control* control = nullptr;
    HWND hwnd = nullptr;
    int id = 0;
    std::vector<int> tab_sheets;            // page control: sheet index per tab
    std::vector<forms::TreeNode*> nodes;    // tree view: node per item lParam
    std::vector<HTREEITEM> tree_items;      // tree view: item per node
  };

  void Create(forms::Control& control);
  void CreateTree(forms::Control& control);
  // Inside a sheet whose windows wait until it is first shown.
  bool Deferred(const forms::Control& control) const;
  // Creates the windows of a deferred sheet's controls once it is shown.
  void RealizeIfShown(forms::Control& sheet);
  View* ViewOf(const forms::Component& component);
  HWND ParentWindowOf(const forms::Control& control) const;
  bool ShownInWindow(const forms::Control& control) const;
  bool HasBackdrop(const forms::Control& control) const;

  void PushAll(View& v);
  RECT ScaledBounds(const forms::Control& control) const;
  void PushBounds(View& v);
  void PushVisible(View& v);
  void PushText(View& v);
  void PushFont(View& v, bool redraw = true);
  // The text a captioned control's window shows for the model's caption.
  static std::wstring WindowCaption(const forms::Control& control);
  void PushChecked(View& v);
  void PushItems(View& v);
  void PushRange(View& v);
  void PushPosition(View& v);
  void PushEditOptions(View& v);
  void PushTabs(View& v);
  void PushActivePage(View& v);
  void PushNodes(View& v);
  void PushTreeSelection(View& v);
  void PushColumns(View& v);
  void PushListItems(View& v, int index);
  void PushListChecks(View& v, int index);
  void PushListSelection(View& v);
  void FitListColumns(View& v);
  void PushZOrder(forms::Control& parent);
  void PushZOrderOf(forms::Control& moved);
  // Whether what `dc` may paint lies within the frame of the group box `box`.
  bool InsideGroupFrame(HWND box, HDC dc);
  void PushFocus();
  void PushTimer(forms::Timer& timer);
  void UpdateRadioTabStops(forms::Control& parent);
  void CollectTabStops(forms::Control& control, std::vector<View*>* out);
  void ApplyFontsBelow(forms::Control& control);

  // User input, from the control's parent window or its subclass procedure.
  bool OnCommand(HWND ctl, int code);
  bool OnNotify(NMHDR* hdr, LRESULT* result);
  bool OnScroll(HWND ctl);
  bool OnTimer(UINT_PTR id);
  bool OnColor(HWND ctl, HDC dc, LRESULT* result);

  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Subclass(HWND hwnd);
  LRESULT CallOriginal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HBRUSH BrushFor(COLORREF color);
  int NextId(const std::string& name);

  forms::Form& form_;
  HWND host_;
  int dpi_;
  std::int64_t creation_us_ = 0;
  Hooks hooks_;
  int pushing_ = 0;
  bool arrow_move_ = false;  // the focus moves by an arrow key inside a radio group
  bool built_ = false;
  bool defer_sheets_ = false;  // during Build(true)
  std::unordered_map<const forms::Component*, std::unique_ptr<View>> views_;
  std::unordered_map<HWND, View*> by_hwnd_;
  std::unordered_map<HWND, WNDPROC> originals_;
  std::unordered_map<int, View*> by_id_;
  std::map<std::tuple<std::wstring, int, bool>, HFONT> fonts_;
  std::unordered_map<COLORREF, HBRUSH> brushes_;
  std::vector<forms::Timer*> timers_;
  std::unordered_set<const forms::Control*> deferred_;
  HIMAGELIST state_images_ = nullptr;
};

}  // namespace corvanel::ui::win32
