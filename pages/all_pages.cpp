#include "pages/all_pages.h"

#include "pages/menu/file_types.h"

namespace corvanel::pages {

ui::PageModules CreateAllPages() {
  ui::PageModules modules;
  modules.push_back(CreateFileTypesPage());
  return modules;
}

}  // namespace corvanel::pages
