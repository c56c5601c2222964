// The state a page's controls had before the page was first loaded. Loading a page again
// (after Undo put the system back) starts from this state, as a page built afresh would:
// a loader that leaves a control alone when it finds nothing must not leave the user's
// last choice in it.
#pragma once

#include <memory>
#include <vector>

#include "forms/forms.h"

namespace corvanel::ui {

class PageDesignState {
 public:
  // Takes the state of every control inside `page` (not the page itself).
  explicit PageDesignState(forms::Control& page);
  ~PageDesignState();
  PageDesignState(const PageDesignState&) = delete;
  PageDesignState& operator=(const PageDesignState&) = delete;

  // Puts every control back as it was taken. Code operations are used, so the controls
  // raise their events: call it only while the page is loading.
  void Restore() const;

 private:
  struct Entry;
  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace corvanel::ui
