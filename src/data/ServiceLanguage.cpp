// The service's language from the wording of the installation's session-end page, computed
// once per process.
#include "data/ServiceLanguage.h"

#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx {

namespace {

// The page's name under the folder; letter case is matched loosely, as on the web server's
// own file system.
constexpr char kSessionEndPage[] = "Files/SessionEnd.htm";
constexpr char kEnglishExpired[] = "the session has expired";
constexpr char kPortugueseExpired[] = "a sess\xE3o expirou";  // Windows-1252

}  // namespace

std::string LanguageOfSessionEndPage(const std::string& folder) {
  std::optional<std::string> bytes;
  try {
    if (std::optional<std::string> file = ResolveInFolder(folder, kSessionEndPage))
      bytes = ReadFileBytes(*file);
  } catch (const std::exception&) {
    // An unreadable page (a folder of that name, an I/O error) is no page.
  }
  if (!bytes) return kLanguageSpanish;
  const std::string text = LowerCase(*bytes);
  if (text.find(kEnglishExpired) != std::string::npos) return kLanguageEnglish;
  if (text.find(kPortugueseExpired) != std::string::npos) return kLanguagePortuguese;
  return kLanguageSpanish;
}

const std::string& ServiceLanguage() {
  // A function-local static is initialised exactly once, other callers waiting for it.
  static const std::string language = [] {
    const std::string executable = ExecutableFileName();
    return executable.empty() ? std::string(kLanguageSpanish)
                              : LanguageOfSessionEndPage(ExtractFilePath(executable));
  }();
  return language;
}

}  // namespace qx
