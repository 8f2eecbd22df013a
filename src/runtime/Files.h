// Files and folders: path pieces, existence, creation with parents, tree deletion, file times,
// temporary files and case-insensitive name resolution. Paths use '/' as the delimiter.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/DateTime.h"

namespace qx {

constexpr char PathDelim = '/';

std::string IncludeTrailingPathDelimiter(std::string_view path);
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// Folder part including the final delimiter ("" when there is none).
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);
// Extension with its dot (".gif"), empty when the name has none.
std::string ExtractFileExt(std::string_view path);
std::string ChangeFileExt(std::string_view path, std::string_view ext);
bool IsAbsolutePath(std::string_view path) noexcept;

bool FileExists(const std::string& path) noexcept;       // a regular file
bool DirectoryExists(const std::string& path) noexcept;  // a folder
// Creates the folder and every missing parent; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path) noexcept;
// Deletes a folder with everything in it; failures are ignored. True when nothing is left.
bool DeleteTree(const std::string& path) noexcept;
bool DeleteFile(const std::string& path) noexcept;

// Last-write time of a file as a local date-time; nothing when it does not exist.
std::optional<TDateTime> FileAgeLocal(const std::string& path) noexcept;

// The system temporary folder ($TMPDIR or /tmp) with a trailing delimiter.
std::string TempFolder();
// Creates a new empty file named prefix + a unique part + ".tmp" in `folder` and returns its
// full path; nothing when the file cannot be created.
std::optional<std::string> CreateTempFile(const std::string& folder, std::string_view prefix);
// The same file, with `bytes` written through the descriptor that made it; nothing, and no
// file left behind, when it cannot be made or written.
std::optional<std::string> WriteTempFile(const std::string& folder, std::string_view prefix,
                                         std::string_view bytes);
// A file without a name in `folder`, open for reading and writing, that disappears when its
// descriptor is closed (nothing is left behind by a crash); negative when it cannot be made.
int OpenUnnamedTempFile(const std::string& folder) noexcept;

std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, std::string_view bytes);

// A relative name that stays inside its folder: not empty, not absolute, no backslash, no ".."
// segment and no NUL byte.
bool IsSafeRelativePath(std::string_view name) noexcept;
// Resolves a safe relative `name` inside `folder`: the exact name when it exists, else each
// segment matched without regard to letter case. Nothing when no such entry exists or the
// name is not safe.
std::optional<std::string> ResolveInFolder(const std::string& folder, std::string_view name);

// `path` with every symbolic link followed and every "." and ".." resolved; empty when it
// does not exist.
std::string CanonicalPath(const std::string& path);
// Whether the canonical `path` names an entry below `folder` (a symbolic link inside a folder
// may lead anywhere; only what lies inside is served from it).
bool LiesInsideFolder(std::string_view canonicalPath, const std::string& folder);

// Full path of the loaded module (executable or library) that contains `address`.
std::string ModuleFileName(const void* address);
// Full path of the running process's executable; empty when the system does not tell.
std::string ExecutableFileName();

}  // namespace qx
