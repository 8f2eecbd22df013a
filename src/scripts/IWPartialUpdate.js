// IWPartialUpdate.js: the helpers of a partial-update reply. The reply page runs in the hidden
// frame "SubmitFrame"; its updateControls() replaces the main page's changed elements and
// moves their client objects, after which the main page may post again.
"use strict";

// The main page: the window that holds the reply's frame.
function IWTop() {
  return window.parent;
}

// Replaces the main page's element `AHTMLName` by the markup `ANewHTML` (the control's whole
// element); the reply then makes the client objects again.
function IWUpdate(AHTMLName, ANewHTML) {
  var element = IWTop().document.getElementById(AHTMLName);
  if (element) element.outerHTML = ANewHTML;
}

// Shows or hides the control `AName` and gives it a new place and size: through its client
// object while the element still is one, else on the element itself. A shown element takes
// its parent's visibility (a control in a hidden region stays hidden), and an element whose
// markup gives it no size keeps sizing itself to its content.
function IWCLUpdate(AName, AVisible, left, top, width, height) {
  var main = IWTop();
  var element = main.document.getElementById(AName);
  if (!element) return;
  if (typeof element.SetRect === "function") {
    element.IWSetVisible(AVisible);
    element.SetRect(main.Rect(left, top, width, height));
    return;
  }
  element.style.visibility = AVisible ? "" : "hidden";
  element.style.left = left + "px";
  element.style.top = top + "px";
  if (element.style.width) element.style.width = width + "px";
  if (element.style.height) element.style.height = height + "px";
}

// The post that brought this reply locked the main page (when the form locks on submit);
// the reply's own init() clears the post state, and the lock goes once init() is done. The
// frame's first reply, which arrives with the page itself, leaves the lock to Initialize().
window.addEventListener("load", function () {
  var main = IWTop();
  if (main === window || !main.GSubmitting) return;
  setTimeout(function () { main.ReleaseLock(); }, 0);
});
