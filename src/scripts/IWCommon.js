// IWCommon.js: locking the page, posting it back (SubmitClickConfirm, SubmitClick with the
// client value encoding), the Enter key, the busy cursor, finding elements, the status line
// and the window helpers every page uses.
"use strict";

// ---- the page lock and the busy cursor --------------------------------------------------------

function ReleaseLock() {
  locked = false;
  var locker = document.getElementById("locker");
  if (locker) locker.style.display = "none";
}

function ActivateLock() {
  locked = true;
  var locker = document.getElementById("locker");
  if (locker) locker.style.display = "";
  return true;
}

function IsLocked() {
  return locked;
}

// Shows the wait-cursor overlay over the whole form, or hides it.
function SetBusy(value) {
  var busy = document.getElementById("bussyCursor");
  if (!busy) return;
  if (value) {
    var rect = IWCLForm ? IWCLForm.Rect : null;
    if (rect) {
      busy.style.width = Math.max(rect.Width, document.body.scrollWidth) + "px";
      busy.style.height = Math.max(rect.Height, document.body.scrollHeight) + "px";
    }
    busy.style.display = "block";
    busy.style.visibility = "visible";
  } else {
    busy.style.visibility = "hidden";
    busy.style.display = "none";
  }
}

// ---- finding elements -------------------------------------------------------------------------

// The page's submit form: "SubmitForm", or in partial-update mode the one of the hidden frame.
function getSubmitForm() {
  if (typeof GIsPartialUpdate !== "undefined" && GIsPartialUpdate) {
    var frame = window.frames["SubmitFrame"];
    if (frame && frame.document) return frame.document.forms["SubmitForm"] || null;
  }
  return document.forms["SubmitForm"] || null;
}

// Whether an element lies inside one of the forms that carry the post.
function IsInSubmitForms(element) {
  for (var node = element.parentNode; node; node = node.parentNode) {
    if (node.nodeName === "FORM" &&
        (node.name === "SubmitForm" || node.name === "HiddenSubmitForm" ||
         node.id === "HiddenSubmitForm")) {
      return true;
    }
  }
  return false;
}

// The page elements named `objname` outside the submit forms: null when there is none, the
// element when there is one, an array when there are several.
function FindElem(objname, aIgnoreForm) {
  var found = [];
  var named = document.getElementsByName(objname);
  for (var i = 0; i < named.length; i++) {
    if (aIgnoreForm || !IsInSubmitForms(named[i])) found.push(named[i]);
  }
  if (found.length === 0) {
    var byId = document.getElementById(objname);
    if (byId && (aIgnoreForm || !IsInSubmitForms(byId))) found.push(byId);
  }
  if (found.length === 0) return null;
  return found.length === 1 ? found[0] : found;
}

function FindFocus(objname) {
  var found = FindElem(objname, false);
  return Array.isArray(found) ? found[0] : found;
}

// The element with id `AId` (or, when asked, the submit form's input of that name); AFunction,
// when given, is applied to it.
function LocateElement(AId, aSubmitForm, AFunction) {
  var element = document.getElementById(AId);
  if (!element && aSubmitForm) {
    var form = getSubmitForm();
    if (form) element = form.elements[AId] || null;
  }
  if (element && typeof AFunction === "function") AFunction(element);
  return element;
}

// ---- posting ----------------------------------------------------------------------------------

// What a page element posts, by the client value encoding; undefined when it posts nothing.
function ClientValue(element) {
  var type = (element.type || "").toLowerCase();
  if (type === "select-one") {
    return element.selectedIndex >= 0 ? element.options[element.selectedIndex].value : "-1";
  }
  if (type === "select-multiple") {
    var selected = [];
    for (var i = 0; i < element.options.length; i++) {
      if (element.options[i].selected) selected.push(element.options[i].value);
    }
    if (selected.length === 0) return "-1";
    return selected[0] + "," + selected.map(function (v) { return v + ","; }).join("");
  }
  if (type === "checkbox") return element.checked ? "on" : "off";
  if (type === "radio") return element.checked ? element.value : undefined;
  if (type === "button" || type === "submit" || type === "reset") return undefined;
  return element.value;
}

// Copies every page value into the same-named input of the submit form; inputs whose page
// element has gone are removed (hidden inputs of the form's own stay).
function CopyValuesToSubmitForm(form) {
  var inputs = Array.prototype.slice.call(form.getElementsByTagName("input"));
  for (var i = 0; i < inputs.length; i++) {
    var input = inputs[i];
    if (!input.name) continue;
    var found = FindElem(input.name, false);
    var elements = found === null ? [] : Array.isArray(found) ? found : [found];
    if (elements.length === 0) {
      if ((input.type || "").toLowerCase() !== "hidden") input.parentNode.removeChild(input);
      continue;
    }
    for (var k = 0; k < elements.length; k++) {
      var value = ClientValue(elements[k]);
      if (value !== undefined) input.value = value;
    }
  }
}

// The post itself: the page's values into the submit form, the validation when asked, the
// busy cursor, the action and its parameter, submit. Nothing happens while a post runs.
function SubmitClick(objname, param, ADoValidation) {
  if (GSubmitting) return false;
  GSubmitting = true;
  var focused = document.activeElement;
  GActiveControl = focused && focused.id ? focused.id : null;
  var form = getSubmitForm();
  if (!form) {
    GSubmitting = false;
    return false;
  }
  CopyValuesToSubmitForm(form);
  if (ADoValidation && typeof Validate === "function" && !Validate()) {
    GSubmitting = false;
    return false;
  }
  SetBusy(true);
  form.elements["IW_Action"].value = objname;
  form.elements["IW_ActionParam"].value = param;
  form.submit();
  return false;
}

// Posts the page naming `objname` with `param`, after the user confirmed `AConfirmation` when
// there is one. Returns false, so that the element's own default action does not run.
function SubmitClickConfirm(objname, param, ADoValidation, AConfirmation) {
  if (locked) return false;
  if (AConfirmation && !GSubmitting && !window.confirm(AConfirmation)) return false;
  if (GActivateLock) ActivateLock();
  SubmitClick(objname, param, ADoValidation);
  return false;
}

// Enter (key code 13) posts the page naming the control and is swallowed; any other key goes
// on as usual.
function CheckReturnKey(AKey, AName, AValidation) {
  if (AKey === 13) {
    SubmitClick(AName, "", AValidation);
    return false;
  }
  return true;
}

// ---- change tracking, status line, windows ----------------------------------------------------

// Records the name of the control whose content changed, for the next callback.
function OnControlContentChange(event) {
  var target = event ? event.target || event.srcElement : null;
  var name = target ? target.name || target.id : "";
  if (name && ("," + window.ChangedControls).indexOf("," + name + ",") < 0) {
    window.ChangedControls += name + ",";
  }
  return true;
}

function Status(msg) {
  window.status = msg;
  return true;
}

// The top window that holds the page.
function topmost() {
  return typeof IWTop === "function" ? IWTop() : window.top;
}

function LoadURL(URL) {
  window.location.replace(URL);
}

function NewWindow(URL, Name, Options) {
  return window.open(URL, Name, Options);
}
