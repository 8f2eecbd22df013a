// Sets environment variables for the length of one test and puts the old values back:
// the header charset follows the locale variables and the date text the TZ variable.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace qx::test {

class EnvOverride {
 public:
  EnvOverride(const std::string& name, const std::string& value) { Set(name, value); }
  EnvOverride() = default;
  ~EnvOverride() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
      else ::unsetenv(it->first.c_str());
    }
    ::tzset();
  }
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

  void Set(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
    ::tzset();
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The Western locale the service runs under: header words in ISO-8859-1 with Q.
inline void UseWesternLocale(EnvOverride& env) { env.Set("LC_ALL", "es_ES.UTF-8"); }

}  // namespace qx::test
