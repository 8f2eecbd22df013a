// Which clients may start a session and how their pages are rendered: the render kind of each
// client type, the refusal of unknown and unsupported clients, and the client type of a request.
#pragma once

#include <string>
#include <string_view>

#include "server/ApplicationInterface.h"
#include "server/Browser.h"
#include "server/ControllerSettings.h"

namespace qx {

class TIWServerControllerBase;

// Format: display name, user agent; then one "* " + name + CR LF line per supported type.
extern const char* const kBrowserRequired;

// The render kind of a client type under the Browser32Behaviour settings (brUnknown: HTML 4.0).
TIWRenderKind RenderKindOf(TIWBrowser browser, const TIWBrowser32Behaviour& behaviour) noexcept;

// The client type of a request: DetectBrowser, except that the HTML 4.0 families become
// brXHTMLMPTest when the service has only a WAP start form.
TIWBrowser ClientTypeOf(std::string_view userAgent);

// "Your browser was detected as ..., identifying itself as ...", followed by the supported
// types in TIWBrowser order.
std::string UnsupportedBrowserMessage(TIWBrowser detected, std::string_view userAgent,
                                      TIWBrowsers supported);

// The render kind a new session of this client gets. An unknown client, or an HTML 4.0 client
// outside SupportedBrowsers, follows UnknownBrowserAction; "ubReject" fails with EIWException
// kUnknownBrowserType. A client that still ends with HTML 4.0 pages without being supported
// fails with EUnknownBrowserException.
TIWRenderKind AcceptClient(TIWBrowser browser, std::string_view userAgent,
                           const TIWServerControllerBase& controller);

}  // namespace qx
