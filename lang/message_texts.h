// The program's message texts: navigation and dialog captions, questions and notices,
// each with its English text, replaceable from section "Corvanel_M" of the language file.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace corvanel::lang {

class TLanguage;

inline constexpr const char* kMessageSection = "Corvanel_M";

// X(key, English text), in the order of the language file.
#define CORVANEL_MESSAGE_TEXTS(X)                                                        \
  X(D_General, "General Settings")                                                       \
  X(D_GeneralSettings, "General Settings")                                               \
  X(D_Menu, "Menu")                                                                      \
  X(D_MenuFile, "File Types")                                                            \
  X(D_MenuFolder, "Folder Types")                                                        \
  X(D_MenuStartMenu, "Start Menu")                                                       \
  X(D_MenuTaskbar, "Task Bar")                                                           \
  X(D_Browser, "Browser")                                                                \
  X(D_BrowserIE, "Internet Explorer")                                                    \
  X(D_BrowserFF, "Mozilla Firefox")                                                      \
  X(D_System, "System Settings")                                                         \
  X(D_SystemInfomation, "Information")                                                   \
  X(D_SystemInput, "Input Options")                                                      \
  X(D_SystemNetwork, "Network")                                                          \
  X(D_SystemDriver, "Driver")                                                            \
  X(D_SystemMandC, "Memory and Cache")                                                   \
  X(D_Security, "Security")                                                              \
  X(D_SecurityUserLogon, "User Logon")                                                   \
  X(D_SecurityCenter, "Security Center")                                                 \
  X(D_SecurityPrivacy, "Privacy")                                                        \
  X(D_Others, "Others")                                                                  \
  X(D_OthersAnimations, "Animations and Effects")                                        \
  X(D_OthersStartAndM, "Start and Maintenance")                                          \
  X(D_Desktop, "Desktop")                                                                \
  X(D_Drivers, "Drivers")                                                                \
  X(D_Loading, "System settings loading")                                                \
  X(D_ClearIEHistory, "Do you want to delete IE history? You can not revert back!")      \
  X(D_OpenExplorer, "Open Windows Explorer")                                             \
  X(D_OpenCmd, "Open a command prompt")                                                  \
  X(D_ExeFile, "Executable file")                                                        \
  X(D_AllFile, "All files")                                                              \
  X(D_Favorites, "Favorites")                                                            \
  X(D_RestoreWarning, "Need to restart Windows to take effect, restart now?")            \
  X(D_FFRestartWarning, "Need to restart Firefox to take effect.")                       \
  X(D_WriteFailed, "The setting \"%1\" could not be written.\\n\\nKey: %2\\nValue: %3\\n%4\\n\\n"   \
                   "This change and the ones after it are still pending.")              \
  X(D_DefaultValueName, "(Default)")                                                     \
  X(D_FavoritesHideFailed, "Cannot hide or show the folder \"%1\" (Windows error %2).")    \
  X(D_FFSaveFailed, "The Firefox settings could not be saved to \"%1\".\\n%2\\n\\nThey are still pending.") \
  X(D_ChangesCount, "%1 change(s) wait for Apply.")                                       \
  X(D_ChangesApplied, "%1 change(s) made by the last Apply.")                              \
  X(D_ChangesRestart, "Windows must be restarted for some of them.")                       \
  X(D_UndoFailed, "These places could not be put back as they were:\\n\\n%1")             \
  X(D_RegSaveFailed, "The file \"%1\" could not be written (Windows error %2).")     \
  X(D_ChangesSetting, "Setting")                                                         \
  X(D_ChangesWhere, "Where")                                                             \
  X(D_ChangesNow, "Now")                                                                 \
  X(D_ChangesAfterApply, "After Apply")                                                  \
  X(D_ChangesBefore, "Before")                                                           \
  X(D_ChangesAfter, "After")                                                             \
  X(D_ChangesNotSet, "(not set)")                                                        \
  X(D_ChangesNoChange, "(no change)")                                                    \
  X(D_ChangesDeleted, "(deleted)")                                                       \
  X(D_ChangesKeyDeleted, "(key deleted)")                                                \
  X(D_ChangesKeyCreated, "(key created)")                                                \
  X(D_ChangesKeyExists, "(key exists)")                                                  \
  X(D_SearchCue, "Find a setting")                                                       \
  X(D_SearchNothing, "No setting found.")

// One id per message key; the id's name is the key, so a misspelt key does not compile.
enum class MessageId : std::size_t {
#define CORVANEL_MESSAGE_ID(key, text) key,
  CORVANEL_MESSAGE_TEXTS(CORVANEL_MESSAGE_ID)
#undef CORVANEL_MESSAGE_ID
};

inline constexpr std::size_t kMessageCount = 0
#define CORVANEL_MESSAGE_ONE(key, text) +1
    CORVANEL_MESSAGE_TEXTS(CORVANEL_MESSAGE_ONE)
#undef CORVANEL_MESSAGE_ONE
    ;

// The key ("D_Menu") and English text of a message.
std::string_view MessageKey(MessageId id);
std::string_view MessageDefault(MessageId id);

class MessageTexts {
 public:
  // Every text its English default.
  MessageTexts();

  const std::string& Get(MessageId id) const { return texts_[static_cast<std::size_t>(id)]; }
  const std::string& operator[](MessageId id) const { return Get(id); }
  // The text of a key given as text (letter case ignored); nullptr for an unknown key.
  const std::string* Find(std::string_view key) const;

  void Set(MessageId id, std::string text) { texts_[static_cast<std::size_t>(id)] = std::move(text); }

 private:
  std::array<std::string, kMessageCount> texts_;
};

// A message with its placeholders %1 to %9 replaced by `args` and each "\\n" (a language
// file holds one line per text) made a line break. A placeholder without an argument,
// and "%%", stay as they are written.
std::string FormatMessage(std::string_view text, std::initializer_list<std::string_view> args);

// Reads every message from section "Corvanel_M" of the loaded language, its English text
// being the default.
MessageTexts LoadMessageTexts(const TLanguage& language);

}  // namespace corvanel::lang
