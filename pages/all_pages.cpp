#include "pages/all_pages.h"

#include "pages/menu/file_types.h"
#include "pages/menu/folder_types.h"
#include "pages/others/animations_effects.h"
#include "pages/others/start_maintenance.h"
#include "pages/system/driver.h"
#include "pages/system/email.h"
#include "pages/system/information.h"
#include "pages/system/memory_cache.h"

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
  return modules;
}

}  // namespace corvanel::pages
