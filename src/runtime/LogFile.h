// Appending lines to the library's text files (".err", ".log"); appends from every thread are
// serialised by one process-wide lock.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// Appends `text` to the file, creating it when missing. Returns false when it cannot be written.
bool AppendToFile(const std::string& path, std::string_view text) noexcept;

}  // namespace qx
