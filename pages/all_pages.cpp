#include "pages/all_pages.h"

#include "pages/general/general_setting.h"
#include "pages/menu/file_types.h"
#include "pages/menu/folder_types.h"
#include "pages/others/animations_effects.h"

namespace corvanel::pages {

ui::PageModules CreateAllPages() {
  ui::PageModules modules;
  modules.push_back(CreateAnimationsEffectsPage());
  modules.push_back(CreateFileTypesPage());
  modules.push_back(CreateFolderTypesPage());
  modules.push_back(CreateGeneralSettingPage());
  return modules;
}

}  // namespace corvanel::pages
