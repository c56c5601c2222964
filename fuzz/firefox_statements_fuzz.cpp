// The statement reader on any text: every statement it reports lies inside the text, in
// order, with a value token that reads back as itself; string values survive quoting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "firefox/firefox_prefs.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace corvanel::firefox;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t calls = 0;
  const auto statements = ParseStatements(text, [&calls] { ++calls; });
  Check(calls >= statements.size());
  std::size_t previous_end = 0;
  for (const Statement& st : statements) {
    Check(previous_end <= st.begin && st.begin < st.value_begin && st.value_begin < st.value_end &&
          st.value_end < st.end && st.end <= text.size());
    Check(text.substr(st.value_begin, st.value_end - st.value_begin) == st.value);
    Check(text[st.end - 1] == ';');
    Check(IsValueToken(st.value));
    // The statement on its own reads as the same statement.
    const auto again = ParseStatements(text.substr(st.begin, st.end - st.begin));
    Check(again.size() == 1 && again[0].name == st.name && again[0].value == st.value);
    previous_end = st.end;
  }
  const std::string quoted = QuotedString(text);
  Check(IsValueToken(quoted));
  Check(UnquotedString(quoted) == text);
  (void)UnquotedString(text);
  return 0;
}
