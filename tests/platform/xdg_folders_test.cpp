#include "platform/xdg_folders.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <map>
#include <string>

namespace lunetta {
namespace {

namespace fs = std::filesystem;

EnvironmentLookup Lookup(std::map<std::string, std::string> variables) {
  return [variables = std::move(variables)](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    return found == variables.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
}

// Relative values are ignored; without HOME the password database names the home, never the
// working directory.
TEST(XdgFoldersTest, AbsoluteValuesElseUnderTheHome) {
  const fs::path passwordHome = ::getpwuid(::geteuid())->pw_dir;
  const struct {
    std::map<std::string, std::string> variables;
    fs::path config;
    fs::path data;
  } cases[] = {
      {{{"HOME", "/home/u"}}, "/home/u/.config", "/home/u/.local/share"},
      {{{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}}, "/c", "/d"},
      {{{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "c"}, {"XDG_DATA_HOME", ""}},
       "/home/u/.config",
       "/home/u/.local/share"},
      {{{"HOME", "relative"}}, passwordHome / ".config", passwordHome / ".local/share"},
  };
  for (const auto& c : cases) {
    const EnvironmentLookup environment = Lookup(c.variables);
    EXPECT_EQ(ConfigHome(environment), c.config) << c.config;
    EXPECT_EQ(DataHome(environment), c.data) << c.data;
  }
  EXPECT_EQ(DataDirs(Lookup({{"XDG_DATA_DIRS", "/a:relative::/b/"}})),
            (std::vector<fs::path>{"/a", "/b/"}));
}

}  // namespace
}  // namespace lunetta
