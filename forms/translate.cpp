#include "forms/translate.h"

#include <exception>
#include <string>

#include "forms/controls.h"
#include "forms/form.h"

namespace corvanel::forms {

namespace {

std::string ItemKey(const std::string& name, const char* list, std::size_t i) {
  return name + "." + list + "[" + std::to_string(i) + "].Caption";
}

void TranslateOwned(const lang::TLanguage& language, const std::string& section, Component& c) {
  const std::string& name = c.Name();
  if (name.empty()) return;  // nothing in a language file can name it
  if (c.IsA<Label>() || c.IsA<Button>() || c.IsA<GroupBox>() || c.IsA<CheckBox>() || c.IsA<RadioButton>() ||
      c.IsA<TabSheet>()) {
    auto& control = static_cast<Control&>(c);
    control.SetCaption(language.ReadLanguageText(section, name + ".Caption", control.Caption()));
  } else if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
    const std::size_t count = combo->Items().size();
    for (std::size_t i = 0; i < count; ++i) {
      const int index = static_cast<int>(i);
      combo->SetItemText(index, language.ReadLanguageText(section, ItemKey(name, "Items", i), combo->Items()[i]));
    }
    // Rewriting the items of a drop-down list drops its selection; the caller picks again.
    if (count > 0) combo->SetItemIndex(-1);
  } else if (auto* tree = dynamic_cast<TreeView*>(&c)) {
    const std::vector<TreeNode*> nodes = tree->AllNodes();
    for (std::size_t i = 0; i < nodes.size(); ++i)
      nodes[i]->SetText(language.ReadLanguageText(section, ItemKey(name, "Items", i), nodes[i]->Text()));
  } else if (auto* list = dynamic_cast<ListView*>(&c)) {
    for (std::size_t i = 0; i < list->Columns().size(); ++i) {
      list->SetColumnCaption(static_cast<int>(i),
                             language.ReadLanguageText(section, ItemKey(name, "Columns", i), list->Columns()[i].caption));
    }
  }
}

}  // namespace

bool TranslateComponent(const lang::TLanguage& language, Component& component) {
  const std::string& name = component.Name();
  if (name.empty()) return false;
  const std::string section = language.Prefix() + "_" + name;
  try {
    if (auto* form = dynamic_cast<Form*>(&component)) {
      const std::string key = name + ".Caption";
      if (language.ValueExists(section, key)) form->SetCaption(language.ReadLanguageText(section, key, form->Caption()));
    }
    // A copy: a caption change may reach handlers that add components.
    const std::vector<Component*> owned = component.Components();
    for (Component* c : owned) TranslateOwned(language, section, *c);
  } catch (const std::exception&) {
    // Captions are cosmetic: a failed look-up ends the translation and the components not
    // reached yet keep their texts. The caller learns it from the result.
    return false;
  }
  return true;
}

}  // namespace corvanel::forms
