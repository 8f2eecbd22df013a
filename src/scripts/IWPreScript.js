// IWPreScript.js: the first script of every page. The library's globals (browser flags, the
// post and lock state), the debug helper, and the error handler that lets a page post again.
"use strict";

var ie4 = document.all ? true : false;
var ns6 = document.getElementById ? true && !ie4 : false;
var opera_browser = window.opera ? true : false;
var KHTML_browser = navigator.vendor === "KDE" ||
  (!document.all && document.getElementById && typeof navigator.taintEnabled === "undefined");

// A post is on its way; a second one waits until its page has arrived.
var GSubmitting = false;
// Cleared when a click handler refused the click.
var ValidClick = true;
// The page lock: while set, nothing posts.
var locked = false;
// Whether a post locks the page (set by the page's Initialize()).
var GActivateLock = false;
// The element that had the focus when the page last posted.
var GActiveControl = null;
// The form's client object (made by InitRects).
var IWCLForm = null;
// Names of the controls changed since the last callback, each followed by a comma.
window.ChangedControls = "";

var DEBUG = false;
function debugAlert(AMessage) {
  if (DEBUG) window.alert(AMessage);
}

// A script error must not leave the page unable to post.
window.addEventListener("error", function () {
  GSubmitting = false;
});

// Pages written for older browsers walk a form's descendants through "all"; current browsers
// keep that collection on the document only.
if (typeof Element !== "undefined" && !("all" in Element.prototype)) {
  Object.defineProperty(Element.prototype, "all", {
    configurable: true,
    get: function () { return this.getElementsByTagName("*"); }
  });
}
