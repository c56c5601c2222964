// Default and preset buttons of every page: what a press shows is what Apply writes, and a
// control the version adaptation hid keeps what the system holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "pages/menu/file_types.h"
#include "pages/menu/start_menu.h"
#include "pages/menu/task_bar.h"
#include "pages/others/animations_effects.h"
#include "pages/others/start_maintenance.h"
#include "pages/security/privacy.h"
#include "pages/system/network.h"
#include "tests/pages/page_harness.h"
#include "tests/pages/row_checks.h"

namespace corvanel::pages {
namespace {

using platform::HKCR;
using platform::HKCU;
using platform::HKLM;
using platform::memory::MemoryPlatform;
namespace spi = platform::memory::spi;

constexpr const char* kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr const char* kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kDesktop = "Control Panel\\Desktop";
constexpr const char* kCrash = "SYSTEM\\CurrentControlSet\\Control\\CrashControl";
constexpr const char* kAutoUpdate = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
constexpr const char* kNameSpace = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\";
constexpr const char* kTasks = "{D6277990-4C6A-11CF-8D87-00AA0060F5BF}";
constexpr const char* kPrinters = "{2227A280-3AEA-1069-A2DE-08002B30309D}";

std::string RootName(platform::RegKey root) {
  return root == HKCU ? "HKCU" : root == HKLM ? "HKLM" : root == HKCR ? "HKCR" : "?";
}

std::string Trim(std::string path) {
  while (!path.empty() && path.front() == '\\') path.erase(path.begin());
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Every change Apply made, in order: "HKCU path [name] = value", "... deleted", "SPI action
// ui pv" (a parameter block shown as its 32-bit fields).
std::vector<std::string> Written(MemoryPlatform& p) {
  std::vector<std::string> out;
  for (const auto& w : p.registry().write_log()) {
    if (w.call == "create_key") continue;
    std::ostringstream line;
    line << RootName(w.root) << ' ' << Trim(w.path);
    if (w.call == "delete_key") {
      line << " key deleted";
    } else if (w.call == "delete_value") {
      line << " [" << w.name << "] deleted";
    } else if (const auto v = p.registry().Get(w.root, w.path, w.name)) {
      line << " [" << w.name << "] = ";
      if (const auto n = p.registry().GetDword(w.root, w.path, w.name)) {
        line << *n;
      } else if (const auto t = p.registry().GetString(w.root, w.path, w.name)) {
        line << '"' << *t << '"';
      } else {
        line << "type " << v->type;
      }
    }
    out.push_back(line.str());
  }
  // Apply reads a parameter back before it sets it, so that it can be undone: those reads
  // (SPI_GETMINIMIZEDMETRICS, SPI_GETMENUFADE) change nothing.
  constexpr std::uint32_t kReads[] = {0x002B, 0x1012};
  for (const auto& c : p.spi().calls()) {
    if (std::find(std::begin(kReads), std::end(kReads), c.action) != std::end(kReads)) continue;
    std::ostringstream line;
    line << "SPI " << std::hex << c.action << std::dec << " ui " << c.ui << " pv ";
    if (c.block.empty()) {
      line << c.pv;
    } else {
      for (std::size_t i = 0; i + 4 <= c.block.size(); i += 4) {
        line << (i ? "," : "") << (c.block[i] | c.block[i + 1] << 8 | c.block[i + 2] << 16 | c.block[i + 3] << 24);
      }
    }
    out.push_back(line.str());
  }
  return out;
}

// Key names keep the case they were created with; compare without it.
std::vector<std::string> Lower(std::vector<std::string> lines) {
  for (std::string& line : lines) {
    for (char& ch : line) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return lines;
}

class DefaultButtons : public harness::PageTest {
 protected:
  DefaultButtons() : PageTest([this] { return make_(); }) {}
  std::function<std::unique_ptr<ui::PageModule>()> make_;
};

TEST_F(DefaultButtons, ApplyWritesWhatThePressShows) {
  using Shown = std::vector<std::pair<const char*, int>>;
  struct Case {
    const char* what;
    std::unique_ptr<ui::PageModule> (*page)();
    int version_class;
    std::function<void(MemoryPlatform&)> store;
    const char* button;
    Shown shown;  // control -> checks::StateOf after the press
    std::vector<std::string> written;
  };
  const std::string policies = std::string("HKCU ") + kPolicies;
  // clang-format off
  const Case cases[] = {
      {"Start Menu count 5 shows 14", CreateStartMenuPage, 5,
       [](MemoryPlatform& p) { p.registry().SetDword(HKCU, kPolicies, "MaxRecentDocs", 5); },
       "Button_Use_StartMenu_RecentlyUse_Default",
       {{"UpDown_Use_StartMenu_RecentlyUse_Document_FileCount", 14}},
       {std::string("HKCU ") + kAdvanced + " [Start_ShowRecentDocs] = 2", policies + " [MaxRecentDocs] = 14"}},
      {"Start Menu on Vista: hidden delay and user boxes keep the system's", CreateStartMenuPage, 7,
       [](MemoryPlatform& p) {
         p.registry().SetString(HKCU, kDesktop, "MenuShowDelay", "100");
         p.registry().SetDword(HKCU, kPolicies, "NoUserNameInStartMenu", 1);
         p.registry().SetDword(HKCU, kPolicies, "StartMenuLogOff", 1);
       },
       "Button_Use_StartMenu_Common_User_Default", {{"Radio_Use_StartMenu_Common_StartMenuSpeed_Auto", 1}}, {}},
      {"Task Bar lists from Left Top hidden", CreateTaskBarPage, 5,
       [](MemoryPlatform& p) {
         p.spi().set_minimized_metrics({154, 0, 0, 10});
         p.registry().SetString(HKCU, "Control Panel\\Desktop\\WindowMetrics", "MinWidth", "-255");
       },
       "Button_Taskbar_MinWindows_Default",
       {{"CB_Taskbar_MinWindows_Position_Left", 0}, {"CB_Taskbar_MinWindows_Position_Top", 1},
        {"CB_Taskbar_MinWindows_Position_Arrangement", 0}},
       {"HKCU Control Panel\\Desktop\\WindowMetrics [MinWidth] deleted", "SPI 2c ui 20 pv 20,154,0,0,8"}},
      {"Task Bar on Vista: the hidden window-button box", CreateTaskBarPage, 7,
       [](MemoryPlatform& p) {
         p.spi().set_minimized_metrics({154, 0, 0, 2});
         p.registry().SetDword(HKCU, kAdvanced, "TaskbarAnimations", 1);
       },
       "Button_Taskbar_ButtonAppearance_Default", {{"Checkbox_Taskbar_ButtonAppearance_Show", 0}}, {}},
      {"Task Bar on 2000: the hidden grouping", CreateTaskBarPage, 4,
       [](MemoryPlatform& p) {
         p.spi().set_minimized_metrics({154, 0, 0, 8});
         p.registry().SetDword(HKCU, kAdvanced, "TaskbarAnimations", 1);
         p.registry().SetDword(HKCU, kAdvanced, "TaskbarGlomming", 0);
         p.registry().SetDword(HKCU, kAdvanced, "TaskbarGroupSize", 1);
       },
       "Button_Taskbar_ButtonAppearance_Default", {{"Checkbox_Taskbar_ButtonAppearance_Group_Classification", 0}}, {}},
      {"Privacy update mode 4 shows item 0", CreatePrivacyPage, 5,
       [](MemoryPlatform& p) { p.registry().SetDword(HKLM, kAutoUpdate, "AUOptions", 4); },
       "Button_Privacy_Common_Default", {{"CB_Privacy_Common_AutoUpdate_Type", 0}},
       {std::string("HKLM ") + kAutoUpdate + " [AUOptions] = 0"}},
      {"Start and Maintenance restart shows the blue screen", CreateStartMaintenancePage, 5,
       [](MemoryPlatform& p) {
         p.spi().SetValue(spi::GETBEEP, 1);
         p.registry().SetDword(HKLM, kCrash, "LogEvent", 1);
         p.registry().SetDword(HKLM, kCrash, "AutoReboot", 1);
       },
       "Button_Startup_Error_Default", {{"CB_Startup_Error_SystemError_Type", 0}},
       {std::string("HKLM ") + kCrash + " [AutoReboot] = 0"}},
      {"Menu Appearance scroll shows fade", CreateAnimationsEffectsPage, 5,
       [](MemoryPlatform& p) {
         for (const auto get : {spi::GETSELECTIONFADE, spi::GETMENUANIMATION, spi::GETFLATMENU, spi::GETDROPSHADOW}) {
           p.spi().SetValue(get, 1);
         }
         p.spi().SetValue(spi::GETMENUFADE, 0);
       },
       "Button_Display_MenuAppearance_Default", {{"CB_Display_MenuAppearance_WindowsAndMessage_UseType", 1}},
       {"SPI 1013 ui 0 pv 1"}},
      {"Network on Vista: the hidden scheduled-tasks box", CreateNetworkPage, 7,
       [](MemoryPlatform& p) {
         p.registry().SetString(HKLM, std::string(kNameSpace) + kPrinters, "", "Printers");
         p.registry().SetDword(HKCU, kPolicies, "NoRecentDocsNetHood", 1);
       },
       "Button_Net_Neighbor_Default", {{"Checkbox_Net_Neighbor_Common_Task", 0}}, {}},
      {"Network on XP: the hidden printers box", CreateNetworkPage, 5,
       [](MemoryPlatform& p) { p.registry().SetString(HKLM, std::string(kNameSpace) + kTasks, "", "1"); },
       "Button_Net_Neighbor_Default", {{"Checkbox_Net_Neighbor_Common_Printer", 0}}, {}},
      {"File Types on Vista: the hidden Explorer verb", CreateFileTypesPage, 7,
       [](MemoryPlatform& p) {
         p.registry().SetString(HKCR, "AllFilesystemObjects\\shellex\\ContextMenuHandlers\\Send To", "",
                                "{7BA4C740-9E81-11CF-99D3-00AA004AE837}");
       },
       "Button_FileType_MenuOperation_Default", {{"Checkbox_FileType_MenuOperation_Drive_OpenDrive", 0}}, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Reset();
    make_ = c.page;
    c.store(Memory());
    Open(c.version_class);
    ASSERT_TRUE(Get<forms::Button>(c.button).UserClick());
    for (const auto& [name, state] : c.shown) EXPECT_EQ(checks::StateOf(Ctl(name)), state) << name;
    Memory().registry().ClearLogs();
    Memory().spi().ClearCalls();
    Apply();
    EXPECT_EQ(Lower(Written(Memory())), Lower(c.written));
  }
}

}  // namespace
}  // namespace corvanel::pages
