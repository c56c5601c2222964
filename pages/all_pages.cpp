#include "pages/all_pages.h"

namespace corvanel::pages {

ui::PageModules CreateAllPages() {
  ui::PageModules modules;
  return modules;
}

}  // namespace corvanel::pages
