#include "pages/all_pages.h"

#include "pages/browser/internet_explorer.h"
#include "pages/menu/file_types.h"
#include "pages/menu/folder_types.h"
#include "pages/menu/start_menu.h"
#include "pages/menu/task_bar.h"
#include "pages/others/animations_effects.h"

namespace corvanel::pages {

ui::PageModules CreateAllPages() {
  ui::PageModules modules;
  modules.push_back(CreateAnimationsEffectsPage());
  modules.push_back(CreateFileTypesPage());
  modules.push_back(CreateFolderTypesPage());
  modules.push_back(CreateStartMenuPage());
  modules.push_back(CreateTaskBarPage());
  modules.push_back(CreateInternetExplorerPage());
  return modules;
}

}  // namespace corvanel::pages
