#include "lang/message_texts.h"

#include "lang/ini_file.h"
#include "lang/language.h"

namespace corvanel::lang {

namespace {

struct MessageRow {
  std::string_view key;
  std::string_view english;
};

constexpr std::array<MessageRow, kMessageCount> kMessages = {{
#define CORVANEL_MESSAGE_ROW(key, text) {#key, text},
    CORVANEL_MESSAGE_TEXTS(CORVANEL_MESSAGE_ROW)
#undef CORVANEL_MESSAGE_ROW
}};

}  // namespace

std::string_view MessageKey(MessageId id) { return kMessages[static_cast<std::size_t>(id)].key; }
std::string_view MessageDefault(MessageId id) { return kMessages[static_cast<std::size_t>(id)].english; }

MessageTexts::MessageTexts() {
  for (std::size_t i = 0; i < kMessageCount; ++i) texts_[i] = std::string(kMessages[i].english);
}

const std::string* MessageTexts::Find(std::string_view key) const {
  const std::string folded = FoldCase(key);
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    if (FoldCase(kMessages[i].key) == folded) return &texts_[i];
  }
  return nullptr;
}

std::string FormatMessage(std::string_view text, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '\\' && next == 'n') {
      out += '\n';
      ++i;
    } else if (c == '%' && next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < args.size()) {
      out += *(args.begin() + (next - '1'));  // arguments are not scanned again
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

MessageTexts LoadMessageTexts(const TLanguage& language) {
  MessageTexts texts;
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    const auto id = static_cast<MessageId>(i);
    texts.Set(id, language.ReadLanguageText(kMessageSection, std::string(kMessages[i].key),
                                            std::string(kMessages[i].english)));
  }
  return texts;
}

}  // namespace corvanel::lang
