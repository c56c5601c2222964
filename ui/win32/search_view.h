// The search box above the navigation bar and its list of results: the box is the main
// form's edit "Edit_Search" (rendered by FormView) with a cue text; the list is a window
// of its own, over the pages, shown while the box holds a query.
#pragma once

#include <vector>

#include "ui/main_window.h"
#include "ui/search.h"
#include "ui/win32/form_view.h"
// After the model headers: Windows macros would clash with their names.
#include "platform/win32/windows_api.h"

namespace corvanel::ui::win32 {

class SearchView {
 public:
  static constexpr int kVisibleRows = 12;

  SearchView(TCorvanel_FormMain& model, FormView& view, HWND host);
  ~SearchView();
  SearchView(const SearchView&) = delete;
  SearchView& operator=(const SearchView&) = delete;

  // After the form's windows exist: the cue text, the hidden list, the box's events.
  void Create();
  // Ctrl+F anywhere in the window; Down, Up, Enter and Esc in the box or the list.
  bool HandleKey(const MSG& msg);
  // The list's owner-draw messages, which reach the host window.
  bool Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // Rescales the list (WM_DPICHANGED).
  void DpiChanged();

  HWND Box() const;
  HWND List() const { return list_; }
  SettingSearch& Search() { return search_; }

 private:
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  static LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  void QueryChanged();
  void ShowList(bool show);
  void Place();
  void Close(bool clear);
  // Opens the result at `index` of the list; false when there is none there.
  bool OpenAt(int index);
  int RowHeight() const;

  TCorvanel_FormMain& model_;
  FormView& view_;
  HWND host_;
  HWND list_ = nullptr;
  HWND box_ = nullptr;
  SettingSearch search_;
  std::vector<const SearchRow*> results_;
};

}  // namespace corvanel::ui::win32
