#include "pages/all_pages.h"

#include "pages/browser/firefox_page.h"
#include "pages/browser/internet_explorer.h"
#include "pages/general/general_setting.h"
#include "pages/menu/file_types.h"
#include "pages/menu/folder_types.h"
#include "pages/menu/start_menu.h"
#include "pages/menu/task_bar.h"
#include "pages/others/animations_effects.h"
#include "pages/others/start_maintenance.h"
#include "pages/security/privacy.h"
#include "pages/security/security_center.h"
#include "pages/security/user_logon.h"
#include "pages/system/driver.h"
#include "pages/system/email.h"
#include "pages/system/information.h"
#include "pages/system/input_options.h"
#include "pages/system/memory_cache.h"
#include "pages/system/network.h"

namespace corvanel::pages {

ui::PageModules CreateAllPages() {
  ui::PageModules modules;
  modules.push_back(CreateAnimationsEffectsPage());
  modules.push_back(CreateFileTypesPage());
  modules.push_back(CreateFolderTypesPage());
  modules.push_back(CreateStartMaintenancePage());
  modules.push_back(CreateInformationPage());
  modules.push_back(CreateDriverPage());
  modules.push_back(CreateEmailPage());
  modules.push_back(CreateMemoryCachePage());
  modules.push_back(CreateStartMenuPage());
  modules.push_back(CreateTaskBarPage());
  modules.push_back(CreatePrivacyPage());
  modules.push_back(CreateUserLogonPage());
  modules.push_back(CreateSecurityCenterPage());
  modules.push_back(CreateInputOptionsPage());
  modules.push_back(CreateNetworkPage());
  modules.push_back(CreateGeneralSettingPage());
  modules.push_back(CreateInternetExplorerPage());
  modules.push_back(CreateFirefoxPage());
  return modules;
}

}  // namespace corvanel::pages
