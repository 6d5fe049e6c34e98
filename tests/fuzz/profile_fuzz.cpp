#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/profile.h"

namespace {

constexpr std::string_view kSection = "Configuration";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  lunetta::Profile profile = lunetta::Profile::Parse(text);
  // Parsing keeps every byte, so saving an unchanged profile rewrites the same file.
  if (size <= lunetta::Profile::kMaxFileBytes && profile.text() != text) {
    std::abort();
  }
  const std::string name = profile.getString(kSection, "Font Name", "Arial Black");
  if (name.size() > lunetta::Profile::kMaxValueChars) {
    std::abort();
  }
  profile.getInt(kSection, "StartX", 560);

  // A byte-order mark in front changes no value.
  if (size + 3 <= lunetta::Profile::kMaxFileBytes && !text.starts_with("\xEF\xBB\xBF") &&
      lunetta::Profile::Parse("\xEF\xBB\xBF" + std::string(text)).value(kSection, "StartX") !=
          profile.value(kSection, "StartX")) {
    std::abort();
  }

  // Writing a key must make it readable with the written value, whatever surrounds it.
  const std::string value = std::to_string(profile.getInt(kSection, "Text Size", -7));
  profile.setString(kSection, "Text Size", value);
  profile.setString(kSection, "New Key", "x");
  profile.setInt("Other", "StartY", -1);
  if (profile.getString(kSection, "Text Size", "") != value ||
      profile.getString(kSection, "New Key", "") != "x" ||
      profile.getInt("Other", "StartY", 0) != -1) {
    std::abort();
  }
  const lunetta::Profile again = lunetta::Profile::Parse(profile.text());
  if (again.getString(kSection, "Text Size", "") != value) {
    std::abort();
  }
  return 0;
}
