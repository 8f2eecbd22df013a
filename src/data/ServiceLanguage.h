// ServiceLanguage: the language code ("ES", "EN" or "PT") that selects which Users and Status
// rows the service sees, decided once per process by the wording of the session-end page.
#pragma once

#include <string>

namespace qx {

inline constexpr char kLanguageSpanish[] = "ES";
inline constexpr char kLanguageEnglish[] = "EN";
inline constexpr char kLanguagePortuguese[] = "PT";

// The language of the session-end page "Files/SessionEnd.htm" in `folder` (with or without a
// trailing delimiter): its text, ASCII letters lower-cased, containing "the session has
// expired" gives "EN", else containing "a sessão expirou" (Windows-1252) gives "PT"; anything
// else, a missing or unreadable file included, gives "ES".
std::string LanguageOfSessionEndPage(const std::string& folder);

// The service's language: LanguageOfSessionEndPage in the folder of the running process's
// executable (the web server's, not the service library's), computed on the first call and
// returned from a process-wide cache afterwards, the default included. Thread-safe: callers
// racing on the first call all receive the one value computed.
const std::string& ServiceLanguage();

}  // namespace qx
