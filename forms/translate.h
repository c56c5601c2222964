// Rewrites the captions of a form's components from the loaded language file.
#pragma once

#include "forms/component.h"
#include "lang/language.h"

namespace corvanel::forms {

// Section: language prefix + "_" + the component's name. A form's caption is replaced
// only when its key exists. Then, for each owned component in creation order: labels,
// buttons, group boxes, check boxes, radio buttons and tab sheets read name ".Caption";
// combo boxes name ".Items[i].Caption" for every item (the list is left without a
// selection); tree views the same over all nodes in tree order; list views
// name ".Columns[i].Caption". Other classes are left alone. Every look-up passes the
// current text as default, so a missing key keeps it.
// Returns false for a component without a name, and when a look-up failed: translation
// then stops and the remaining components keep their texts.
bool TranslateComponent(const lang::TLanguage& language, Component& component);

}  // namespace corvanel::forms
