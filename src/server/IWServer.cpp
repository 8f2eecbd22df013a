// The dispatcher's default action: fields, path and command, session id and track number,
// session lookup, the handling of each command kind, the release of the session and the
// reply tail.
#include "server/IWServer.h"

#include "entry/WebRequest.h"
#include "entry/WebResponse.h"
#include "runtime/Streams.h"
#include "runtime/Strings.h"
#include "server/ApplicationInterface.h"
#include "server/ProbePage.h"
#include "server/ReplyTail.h"
#include "server/RequestPath.h"
#include "server/ServerControllerBase.h"
#include "server/SessionStart.h"
#include "server/Sessions.h"
#include "server/StaticCommands.h"
#include "server/SystemPages.h"
#include "server/SystemReplies.h"

namespace qx {

const char* const kUnrecognizedCommand = "Unrecognized Command: ";
const char* const kPageCharSet = "windows-1252";

std::string PageContentType() {
  const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
  const bool own = controller && !controller->CharSet().empty();
  return std::string("text/html; charset=") + (own ? controller->CharSet() : kPageCharSet);
}

namespace {

// The working values of one request (the dispatcher itself keeps none between requests).
struct TDispatch {
  TDispatch(TWebRequest& req, TWebResponse& resp) : request(req), response(resp) {}
  TWebRequest& request;
  TWebResponse& response;
  TIWCommandKind kind = ckStart;
  TIWRequestPath path;
  std::string next;          // the segment after the command
  std::string sessionID;
  std::string track;         // the posted track number as text
  std::string clientAddress;
  TStringList fields;
  IIWApplication* session = nullptr;  // locked and current while set
  bool cacheable = true;
};

// Whatever happens, a session this request holds is detached from it and released (stamping
// its last access), and the thread serves no application any more.
class TSessionHold {
 public:
  explicit TSessionHold(TDispatch& d) noexcept : d_(d) {}
  ~TSessionHold() {
    if (IIWApplication* session = d_.session) {
      session->DetachRequest();
      ReleaseSession(*session);
      d_.session = nullptr;
    }
    SetCurrentApplication(nullptr);
  }
  TSessionHold(const TSessionHold&) = delete;
  TSessionHold& operator=(const TSessionHold&) = delete;

 private:
  TDispatch& d_;
};

bool NeedsSessionId(TIWCommandKind kind) {
  switch (kind) {
    case ckReEntry: case ckStop: case ckExecute: case ckPartialUpdate: case ckResize:
    case ckCall: case ckUpload: case ckCallback:
      return true;
    default:
      return false;
  }
}

bool NeedsSession(TIWCommandKind kind) {
  return kind != ckCall && NeedsSessionId(kind);
}

void ConvertFromUtf8(TStringList& fields) {
  for (int i = 0; i < fields.Count(); ++i) fields[i] = Utf8ToAnsi(fields[i]);
}

// The address the session's address check uses: a proxy's forwarded address first.
std::string ClientAddress(TWebRequest& request) {
  std::string address = Trim(request.GetFieldByName("HTTP_X_FORWARDED_FOR"));
  if (address.empty()) address = Trim(request.GetFieldByName("HTTP_CLIENT_IP"));
  if (address.empty()) address = request.RemoteAddr();
  return address;
}

// The session ends with this request: it is released, no longer current, and freed.
void EndSession(TDispatch& d) {
  IIWApplication* session = d.session;
  if (!session) return;
  const std::string appID = session->AppID();
  session->DetachRequest();
  ReleaseSession(*session);
  d.session = nullptr;
  SetCurrentApplication(nullptr);
  if (TIWSessions* sessions = GSessions()) sessions->RemoveAndFree(appID);
}

// The page after a post: nothing when the post produced its own reply; the final page of a
// terminated session; its redirect page; otherwise the active form.
void SendPage(IIWApplication& session, TWebResponse& response) {
  if (response.ContentStream() || response.HasContent()) return;
  if (session.Terminated()) {
    session.SendTerminationReply(response);
  } else if (!session.RedirectURL().empty()) {
    session.SendRedirectReply(response);
  } else {
    // The page goes out as text, in its pieces: a text body needs no temporary copy on the way
    // out, and a grid's rows are not copied into it.
    TMemoryStream page;
    session.Render(page);
    if (TPageText text = page.TakePage(); !text.Empty()) response.SetContent(std::move(text));
  }
}

// A posted size, or the active form's own when the field is missing or no number.
void PostedSize(IIWApplication& session, const TStringList& fields, int& width, int& height) {
  width = StrToIntDef(fields.Values("IW_width"), session.ActiveFormWidth());
  height = StrToIntDef(fields.Values("IW_height"), session.ActiveFormHeight());
}

// --- The kinds.

void StartNewSession(TDispatch& d, const TClassInfo* pageAccess) {
  TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  d.cacheable = false;
  const std::string clientType = d.path.Mode.empty() ? d.request.UserAgent() : d.path.Mode;
  d.session = &StartSession(d.request, d.response, clientType, d.clientAddress, pageAccess);
  IIWApplication& session = *d.session;
  if (!session.ActiveFormIsHTML40()) {
    SendPage(session, d.response);
    return;
  }
  std::string action = session.AppURLBase() + "/" + controller.ExecCmd();
  if (controller.SessionTrackingMethod() == tmURL) action += "/0/" + session.AppID();
  d.response.SetContent(
      SizeProbePage(action, session.AppID(), session.TrackID(), controller));
}

void HandOver(TDispatch& d, int track) {
  if (!TIWServerControllerBase::Current()) throw EIWException(kNoServerControllerCreated);
  IIWApplication& session = *d.session;
  session.AttachRequest(d.request, d.response, &d.request.Files());
  session.SetIsPartialUpdate(d.kind == ckPartialUpdate);
  session.SetIsCallback(d.kind == ckCallback);
  if (d.kind == ckCallback) {
    // The client library posts callbacks in UTF-8.
    if (!SameText(TIWServerControllerBase::Required().CharSet(), "utf-8"))
      ConvertFromUtf8(d.fields);
    session.ProcessCallback(d.fields);
  } else if (track == session.TrackID()) {
    if (!(session.Terminated() && !session.RedirectURL().empty())) session.Execute(d.fields);
    SendPage(session, d.response);
  } else {
    session.ProcessStalePage(track, d.fields);
    SendPage(session, d.response);
  }
  if (session.Terminated()) EndSession(d);
}

void Execute(TDispatch& d) {
  const int track = StrToIntDef(d.track, 0);
  switch (d.kind) {
    case ckExecute:
      if (track == 0) {
        d.cacheable = false;
        if (d.session->ActiveFormIsHTML40()) {
          int width, height;
          PostedSize(*d.session, d.fields, width, height);
          d.session->Resize(width, height);
        }
      } else {
        d.cacheable = true;
      }
      break;
    case ckUpload:
      d.cacheable = false;
      break;
    case ckCallback:
      d.cacheable = false;
      if (d.request.MethodType() == TMethodType::mtPost) d.fields.Append(d.request.UrlFields());
      break;
    default:
      break;
  }
  HandOver(d, track);
}

void Resize(TDispatch& d) {
  d.cacheable = false;
  IIWApplication& session = *d.session;
  session.AttachRequest(d.request, d.response, &d.request.Files());
  int width, height;
  PostedSize(session, d.fields, width, height);
  session.Resize(width, height);
  if (StrToIntDef(d.track, 0) != 0) {
    d.response.SetContent("<html><head><script>" + session.ActiveFormResizeScript() + "\r\n" +
                          kTopWindowFunction + "IWTop().GSubmitting=false;" + "\r\n" +
                          "</script></head></html>");
  }
}

void Stop(TDispatch& d) {
  d.cacheable = false;
  // What follows the session id is where the browser goes next; "_s_." asks for https and is
  // no part of the address.
  const std::string& target = d.path.Rest;
  if (!target.empty()) {
    RedirectReply(d.response, StartsText("_s_.", target) ? "https://" + target.substr(4)
                                                         : "http://" + target);
  }
  EndSession(d);
}

void ReEnter(TDispatch& d) {
  d.cacheable = false;
  IIWApplication& session = *d.session;
  session.AttachRequest(d.request, d.response, &d.request.Files());
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  if (controller.OnReEntry()) controller.OnReEntry()(session.Application());
  SendPage(session, d.response);
}

void UnknownCommand(TDispatch& d) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  if (controller.OnInvalidCommand()) {
    controller.OnInvalidCommand()(
        d.request, d.response,
        std::string(kUnrecognizedCommand) + ":" + d.path.Command + ":" + d.sessionID);
  } else if (!controller.InvalidCommandURL().empty()) {
    RedirectReply(d.response, controller.InvalidCommandURL());
  } else {
    throw EIWException(std::string(kUnrecognizedCommand) + ": " + d.path.Command + ":" +
                       d.sessionID);
  }
}

// --- Reading the request.

// The posted fields of a post, else the query's; in the service's text encoding.
void ReadFields(TDispatch& d, const TIWServerControllerBase& controller) {
  d.fields = d.request.MethodType() == TMethodType::mtPost ? d.request.BodyFields()
                                                           : d.request.UrlFields();
  if (SameText(controller.CharSet(), "UTF-8")) ConvertFromUtf8(d.fields);
}

// The path's command and its kind; a command naming a form open to page access starts a
// session on that form, whose class is returned.
const TClassInfo* ReadCommand(TDispatch& d, const TIWServerControllerBase& controller) {
  d.path = SplitRequestPath(d.request.PathInfo());
  const TClassInfo* pageAccess = nullptr;
  if (!d.path.Command.empty()) {
    pageAccess = PageAccessClass(d.path.Command);
    if (pageAccess) d.path.Command.clear();
  }
  d.kind = CommandKindOf(d.path.Command, d.fields.IndexOfName("IW_SessionID_") >= 0, controller);
  // A callback may carry the execute command in its path.
  if (d.kind == ckCallback) {
    std::string& rest = d.path.Rest;
    if (std::size_t exec = FindText(rest, "EXEC"); exec != std::string::npos)
      rest.erase(0, std::min(rest.size(), exec + 5));
  }
  return pageAccess;
}

// The segment after the command: a whole sub-path for file commands, the query for a call.
void ReadNextSegment(TDispatch& d, const TIWServerControllerBase& controller) {
  std::string& rest = d.path.Rest;
  if (((d.kind == ckFiles || d.kind == ckFilesNotCacheable) && controller.AllowSubFolders()) ||
      d.kind == ckCacheFile) {
    d.next = rest;
    rest.clear();
  } else if (d.kind == ckCall || SameText(rest, "CALL")) {
    d.kind = ckCall;
    rest = d.request.Query();
    if (rest.find('/') != std::string::npos) SplitSegment(rest);
  } else {
    d.next = SplitSegment(rest);
  }
}

// The session id and track number from the posted fields or the path; a call becomes an
// execute. A "bind" query on a GET names the session by its tag instead.
void ReadSessionAndTrack(TDispatch& d) {
  std::string& rest = d.path.Rest;
  TWebRequest& request = d.request;
  if (d.kind == ckResize && d.fields.IndexOfName("IW_SessionID_") >= 0) {
    d.track = d.fields.Values("IW_TrackID_");
    d.sessionID = d.fields.Values("IW_SessionID_");
  } else {
    d.cacheable = false;
    if (d.kind == ckCall) {
      d.track = SplitSegment(rest);
      d.sessionID = rest;
      rest.clear();
      d.kind = ckExecute;
    } else if (request.MethodType() != TMethodType::mtGet) {
      d.track = d.fields.Values("IW_TrackID_");
      d.sessionID = d.fields.Values("IW_SessionID_");
      // A stop may still name its target after the session id.
      if (d.kind == ckStop) SplitSegment(rest);
    } else {
      d.sessionID = SplitSegment(rest);
      d.track = d.next;
    }
  }
  const TMethodType method = request.MethodType();
  if (method != TMethodType::mtGet && method != TMethodType::mtHead) return;
  const TStringList& query = request.UrlFields();
  if (int bind = query.IndexOfName("bind"); bind >= 0) {
    if (TIWSessions* sessions = GSessions()) {
      if (IIWApplication* bound = sessions->FindByTag(query.ValueFromIndex(bind))) {
        d.sessionID = bound->AppID();
        bound->Lock().Unlock();
      }
    }
  }
}

// --- Serving it.

void RunCommand(TDispatch& d, const TClassInfo* pageAccess) {
  TWebRequest& request = d.request;
  switch (d.kind) {
    case ckStart: StartNewSession(d, pageAccess); break;
    case ckExecute:
    case ckPartialUpdate:
    case ckUpload:
    case ckCallback: Execute(d); break;
    case ckResize: Resize(d); break;
    case ckStop: Stop(d); break;
    case ckReEntry: ReEnter(d); break;
    case ckPing:
      d.cacheable = false;
      d.response.SetStatusCode(200);
      d.response.SetContent("");
      break;
    case ckFiles:
    case ckFilesNotCacheable:
      FilesCommand(request, d.response, d.next, d.kind == ckFiles, d.cacheable);
      break;
    case ckCacheFile: CacheCommand(request, d.response, d.next, d.clientAddress, d.cacheable); break;
    case ckInternalGraphic: InternalGraphicCommand(request, d.response, d.next, d.cacheable); break;
    case ckInternalScript: InternalScriptCommand(request, d.response, d.next, d.cacheable); break;
    case ckInternalStyle: InternalStyleCommand(request, d.response, d.next, d.cacheable); break;
    case ckFavicon: FaviconCommand(request, d.response); break;
    case ckCall:
    case ckUnknown: UnknownCommand(d); break;
  }
}

// Everything between the reply's preparation and its caching headers: the request is read,
// the session it names is found, locked, checked and made current, and the command runs.
void Dispatch(TDispatch& d) {
  const TIWServerControllerBase& controller = TIWServerControllerBase::Required();
  ReadFields(d, controller);
  const TClassInfo* pageAccess = ReadCommand(d, controller);
  ReadNextSegment(d, controller);
  d.clientAddress = ClientAddress(d.request);
  if (NeedsSessionId(d.kind)) ReadSessionAndTrack(d);
  if (NeedsSession(d.kind)) {
    d.session = &LookupSession(d.sessionID, d.clientAddress, d.request.UserAgent());
    SetCurrentApplication(d.session);
  }
  RunCommand(d, pageAccess);
}

}  // namespace

const TDispatcherClass& TIWServer::Class() {
  static const TDispatcherClass dispatcherClass{
      "TIWServer", []() -> std::unique_ptr<TCustomWebDispatcher> {
        return std::make_unique<TIWServer>();
      }};
  return dispatcherClass;
}

void TIWServer::BeforeDispatch(TWebRequest& request, TWebResponse& response, bool& handled) {
  // The ComInitialization setting asks for COM on the request's thread; this platform has no
  // COM, so there is nothing to initialise and nothing that could fail here.
  const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
  if (controller && controller->OnBeforeDispatch())
    controller->OnBeforeDispatch()(*this, request, response, handled);
}

void TIWServer::AfterDispatch(TWebRequest& request, TWebResponse& response, bool& handled) {
  // Nothing to uninitialise either (see BeforeDispatch).
  const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
  if (controller && controller->OnAfterDispatch())
    controller->OnAfterDispatch()(*this, request, response, handled);
}

bool TIWServer::DefaultAction(TWebRequest& request, TWebResponse& response) {
  response.ExtraHeaders().Clear();
  response.SetContentType(PageContentType());
  TDispatch d(request, response);
  {
    TSessionHold hold(d);
    try {
      Dispatch(d);
    } catch (const std::exception& failure) {
      // The failure's reply is a page of its own (a file it sends sets its own type).
      response.SetContentType(PageContentType());
      ReplyToFailure(failure, d.kind, request, response, d.cacheable);
    }
  }
  const TIWServerControllerBase* controller = TIWServerControllerBase::Current();
  ReplyTail(request, response, d.cacheable, controller ? controller->CacheExpiry() : 0, Now());
  return true;
}

}  // namespace qx
