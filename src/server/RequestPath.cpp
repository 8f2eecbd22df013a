// Request paths: segments, the mode segment, page-access names and the command table.
#include "server/RequestPath.h"

#include "runtime/ClassInfo.h"
#include "runtime/Strings.h"
#include "server/ServerControllerBase.h"

namespace qx {

const char* const kModeHTML32 = "HTML 3.2";
const char* const kModeWML = "WML";
const char* const kModeXHTMLMP = "XHTML MP";

std::string SplitSegment(std::string& rest) {
  const std::size_t slash = rest.find('/');
  std::string segment = rest.substr(0, slash);
  rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
  return segment;
}

TIWRequestPath SplitRequestPath(std::string_view pathInfo) {
  TIWRequestPath path;
  if (pathInfo.starts_with("/../")) pathInfo.remove_prefix(4);
  else if (!pathInfo.empty()) pathInfo.remove_prefix(1);
  path.Rest = pathInfo;
  path.Command = UpperCase(SplitSegment(path.Rest));
  const char* mode = path.Command == "32"        ? kModeHTML32
                     : path.Command == "WML"     ? kModeWML
                     : path.Command == "XHTMLMP" ? kModeXHTMLMP
                                                 : nullptr;
  if (mode) {
    path.Mode = mode;
    path.Command = UpperCase(SplitSegment(path.Rest));
  }
  return path;
}

namespace {

// Whether the class is an application form, told by its ancestry's names: this layer sees the
// forms only through the class registry.
bool IsAppFormClass(const TClassInfo& cls) {
  for (const TClassInfo* c = &cls; c; c = c->Parent())
    if (c->Name() == "TIWAppForm") return true;
  return false;
}

}  // namespace

const TClassInfo* PageAccessClass(std::string_view command) {
  const std::size_t dot = command.find('.');
  if (dot == std::string_view::npos || dot == 0) return nullptr;
  const std::string_view ext = command.substr(dot + 1);
  if (!SameText(ext, "iwp") && !SameText(ext, "html")) return nullptr;
  std::string name = UpperCase(command.substr(0, dot));
  if (!StartsText("T", name)) name = "T" + name;
  const TClassInfo* cls = FindClass(name);
  if (!cls || !cls->Creatable() || !IsAppFormClass(*cls)) return nullptr;
  // AllowPageAccess is a form property: a fresh instance tells its value without reading the
  // definition or running any of the form's events.
  const TPropInfo* allow = cls->FindProperty("AllowPageAccess");
  if (!allow || !allow->getOrdinal) return nullptr;
  Owned<TComponent> probe = cls->NewInstance();
  return allow->getOrdinal(*probe) != 0 ? cls : nullptr;
}

TIWCommandKind CommandKindOf(std::string_view command, bool hasSessionField,
                             const TIWServerControllerBase& controller) {
  const TIWReEntryOptions& reEntry = controller.ReEntryOptions();
  const TIWSessionTrackingMethod tracking = controller.SessionTrackingMethod();
  if (!reEntry.Cmd.empty() && tracking != tmHidden && SameText(command, reEntry.Cmd))
    return ckReEntry;
  static constexpr struct {
    const char* command;
    TIWCommandKind kind;
  } kFixedBeforeCall[] = {
      {"RESIZE", ckResize},          {"UPDATE", ckPartialUpdate},
      {"UPLOAD", ckUpload},          {"CACHE", ckCacheFile},
      {"GFX", ckInternalGraphic},    {"JS", ckInternalScript},
      {"JAVASCRIPT", ckInternalScript}, {"FILES", ckFiles},
      {"FILESNC", ckFilesNotCacheable}, {"STOP", ckStop},
      {"CSS", ckInternalStyle},      {"FAVICON.ICO", ckFavicon},
      {"CALL", ckCall},
  };
  for (const auto& entry : kFixedBeforeCall)
    if (command == entry.command) return entry.kind;
  if (SameText(command, controller.ExecCmd())) return ckExecute;
  if (command.empty() && hasSessionField && tracking == tmHidden) return ckExecute;
  if (command == "CALLBACK") return ckCallback;
  if (SameText(command, controller.StartCmd())) return ckStart;
  if (command == "PING") return ckPing;
  return ckUnknown;
}

}  // namespace qx
