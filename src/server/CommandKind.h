// The kinds of command a request path names; the dispatcher decides the kind, and the system
// replies look at it when they answer a failure.
#pragma once

namespace qx {

enum TIWCommandKind : int {
  ckStart,             // empty command: a new session
  ckExecute,           // "EXEC", or an empty command with a session field
  ckPartialUpdate,     // "UPDATE"
  ckCallback,          // "CALLBACK"
  ckUpload,            // "UPLOAD"
  ckResize,            // "RESIZE"
  ckCall,              // "CALL", turned into an execute
  ckStop,              // "STOP"
  ckPing,              // "PING"
  ckFiles,             // "FILES" (cacheable)
  ckFilesNotCacheable, // "FILESNC"
  ckCacheFile,         // "CACHE"
  ckInternalGraphic,   // "GFX"
  ckInternalScript,    // "JS", "JAVASCRIPT"
  ckInternalStyle,     // "CSS"
  ckFavicon,           // "FAVICON.ICO"
  ckReEntry,           // the re-entry command (URL and cookie tracking only)
  ckUnknown,
};

}  // namespace qx
