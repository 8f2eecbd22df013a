// The size probe page, byte for byte.
#include "server/ProbePage.h"

#include "runtime/Strings.h"
#include "server/ServerControllerBase.h"
#include "server/SystemPages.h"

namespace qx {

const char* const kNoJavaScriptText =
    "Your browser does not seem to support JavaScript. Please make sure it is supported and "
    "activated";

namespace {

constexpr const char* kProbeHead =
    "<HTML><HEAD><TITLE></TITLE><meta http-equiv=\"cache-control\" content=\"no-cache\">\r\n"
    "<meta http-equiv=\"pragma\" content=\"no-cache\">";

// Each line is followed by CR LF in the page.
constexpr const char* kProbeScript[] = {
    "<SCRIPT>",
    "var ie4 = (document.all)? true:false;",
    "var ns6 = (document.getElementById)? true && !ie4:false;",
    "function Initialize() {",
    "var lWidth;",
    "var lHeight;",
    "if (ns6) {",
    "  lWidth = window.innerWidth - 30;",
    "  lHeight = window.innerHeight - 30;",
    "} else {",
    "  lWidth = document.body.clientWidth;",
    "  lHeight = document.body.clientHeight;",
    "}",
    "document.forms[0].elements[\"IW_width\"].value = lWidth;",
    "document.forms[0].elements[\"IW_height\"].value = lHeight;",
    "document.forms[0].submit();",
};

}  // namespace

std::string SizeProbePage(const std::string& action, const std::string& sessionID, int trackID,
                          const TIWServerControllerBase& controller) {
  std::string page = kProbeHead;
  page += "\r\n";
  const TIWFileReference& noScript = controller.NoJavaScriptSupport();
  if (!noScript.URL().empty() || !noScript.FileName().empty()) {
    const std::string url =
        noScript.URL().empty() ? FileReferenceURL(noScript.FileName()) : noScript.URL();
    page += "<NOSCRIPT><META HTTP-EQUIV=\"Refresh\" CONTENT=\"0;URL=" + url + "\"></NOSCRIPT>";
  } else {
    page += std::string("<NOSCRIPT><HTML><BODY>") + kNoJavaScriptText + "</BODY></HTML></NOSCRIPT>";
  }
  for (const char* line : kProbeScript) {
    page += line;
    page += "\r\n";
  }
  page += "}</SCRIPT></HEAD><BODY onload=\"Initialize()\">\r\n";
  page += "<form method=post action=\"" + action + "\">\r\n";
  page += "<input type=hidden name=\"IW_width\">\r\n";
  page += "<input type=hidden name=\"IW_height\">\r\n";
  page += "<input type=hidden name=\"IW_SessionID_\" value=\"" + sessionID + "\">\r\n";
  page += "<input type=hidden name=\"IW_TrackID_\" value=\"" + IntToStr(trackID) + "\">\r\n";
  page += "</form></BODY></HTML>";
  return page;
}

}  // namespace qx
