#include "platform/win32/windows_api.h"
#include "platform/win32/parts.h"
#include "platform/win32/system_module.h"
#include "platform/win32/wide_text.h"

namespace corvanel::platform::win32 {
namespace {

// Long enough for any path Explorer can produce.
constexpr DWORD kPathCapacity = 32768;

// "Name\0*.ext\0Name\0*.ext\0\0", the form the open-file dialog takes its filters in.
std::wstring FilterString(const std::vector<FileFilter>& filters) {
  std::wstring out;
  for (const FileFilter& f : filters) {
    out += Widen(f.name);
    out += L'\0';
    out += Widen(f.pattern);
    out += L'\0';
  }
  out += L'\0';
  return out;
}

class Win32Dialogs final : public Dialogs {
 public:
  int MessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                 std::uint32_t flags) override {
    return MessageBoxW(reinterpret_cast<HWND>(owner), Widen(text).c_str(), Widen(caption).c_str(), flags);
  }

  bool OpenFile(std::uintptr_t owner, const std::vector<FileFilter>& filters, const std::string& initial,
                std::string* path) override {
    const std::wstring filter = FilterString(filters);
    std::wstring initial_w = Widen(initial);
    std::wstring file(kPathCapacity, L'\0');
    std::wstring initial_dir;
    const DWORD attributes = initial_w.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(initial_w.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      initial_dir = initial_w;
    } else if (initial_w.size() < kPathCapacity) {
      file.replace(0, initial_w.size(), initial_w);
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = reinterpret_cast<HWND>(owner);
    ofn.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathCapacity;
    ofn.lpstrInitialDir = initial_dir.empty() ? nullptr : initial_dir.c_str();
    // No change of the process's current directory: later relative paths must not move.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const auto open = FindProc<decltype(&GetOpenFileNameW)>(CommonDialogs(), "GetOpenFileNameW");
    if (open == nullptr || !open(&ofn)) return false;
    if (path) *path = Narrow(file.c_str());
    return true;
  }

  bool SaveFile(std::uintptr_t owner, const std::vector<FileFilter>& filters, const std::string& initial,
                const std::string& extension, std::string* path) override {
    const std::wstring filter = FilterString(filters);
    const std::wstring initial_w = Widen(initial);
    const std::wstring extension_w = Widen(extension);
    std::wstring file(kPathCapacity, L'\0');
    if (initial_w.size() < kPathCapacity) file.replace(0, initial_w.size(), initial_w);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = reinterpret_cast<HWND>(owner);
    ofn.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathCapacity;
    ofn.lpstrDefExt = extension_w.empty() ? nullptr : extension_w.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    const auto save = FindProc<decltype(&GetSaveFileNameW)>(CommonDialogs(), "GetSaveFileNameW");
    if (save == nullptr || !save(&ofn)) return false;
    if (path) *path = Narrow(file.c_str());
    return true;
  }

  bool ChooseColor(std::uintptr_t owner, std::uint32_t* color) override {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = reinterpret_cast<HWND>(owner);
    cc.rgbResult = color ? *color : 0;
    cc.lpCustColors = custom_colors_;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    const auto choose = FindProc<decltype(&ChooseColorW)>(CommonDialogs(), "ChooseColorW");
    if (choose == nullptr || !choose(&cc)) return false;
    if (color) *color = cc.rgbResult;
    return true;
  }

 private:
  // comdlg32 is loaded on first use: most runs never open a file or colour dialog, and
  // loading it with the executable costs start-up time under every Windows.
  HMODULE CommonDialogs() {
    if (!comdlg32_) comdlg32_ = LoadSystemLibrary(L"comdlg32.dll");
    return comdlg32_.get();
  }

  UniqueModule comdlg32_;
  // The dialog's sixteen custom colours, kept between calls as the user expects.
  COLORREF custom_colors_[16] = {};
};

}  // namespace

std::unique_ptr<Dialogs> MakeDialogs() { return std::make_unique<Win32Dialogs>(); }

}  // namespace corvanel::platform::win32
