// IWCommon.js: locking the page, posting it back (SubmitClickConfirm, SubmitClick with the
// client value encoding), the Enter key, the busy cursor, finding elements, the status line,
// the window helpers, and the client halves of images, check boxes and radio buttons.
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

// The page's submit form: "SubmitForm", or in partial-update mode the one of the hidden frame
// (found by its element's id: the frame has no name to find its window by).
function getSubmitForm() {
  if (typeof GIsPartialUpdate !== "undefined" && GIsPartialUpdate) {
    var frame = document.getElementById("SubmitFrame");
    var frameDocument = frame ? frame.contentDocument : null;
    if (frameDocument) return frameDocument.forms["SubmitForm"] || null;
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

// The same as a list, empty when there is none.
function PageElements(objname) {
  var found = FindElem(objname, false);
  return found === null ? [] : Array.isArray(found) ? found : [found];
}

// The first page element named `objname`, or null.
function FindFocus(objname) {
  return PageElements(objname)[0] || null;
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

// What the page elements named `name` post (the last one that posts something wins);
// undefined when none of them posts anything.
function PageValue(name) {
  var elements = PageElements(name);
  var value;
  for (var i = 0; i < elements.length; i++) {
    var own = ClientValue(elements[i]);
    if (own !== undefined) value = own;
  }
  return value;
}

// Copies every page value into the same-named input of the submit form; inputs whose page
// element has gone are removed (hidden inputs of the form's own stay).
function CopyValuesToSubmitForm(form) {
  var inputs = Array.prototype.slice.call(form.getElementsByTagName("input"));
  for (var i = 0; i < inputs.length; i++) {
    var input = inputs[i];
    if (!input.name) continue;
    if (PageElements(input.name).length === 0) {
      if ((input.type || "").toLowerCase() !== "hidden") input.parentNode.removeChild(input);
      continue;
    }
    var value = PageValue(input.name);
    if (value !== undefined) input.value = value;
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

// Adds a name to the changed-controls list (window.ChangedControls, each name followed by a
// comma), which the next callback posts the values of.
function AddChangedControl(name) {
  if (name && ("," + window.ChangedControls).indexOf("," + name + ",") < 0) {
    window.ChangedControls += name + ",";
  }
}

// Records the name of the control whose content changed, for the next callback.
function OnControlContentChange(event) {
  var target = event ? event.target || event.srcElement : null;
  AddChangedControl(target ? target.name || target.id : "");
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

// ---- images -----------------------------------------------------------------------------------

// The image ImageSetEvent made current: its element name, validation flag and confirmation.
var GCurrentImage = null;

// Posts the page naming the image control, with the click's position inside the picture
// ("x,y") as parameter. Hooked by ImageSetEvent it runs as an anchor's mouse-down handler,
// whose only argument is the event: the image then is the current one.
function ImageClick(AName, AEvent, ASubmitValidation, AConfirmation) {
  if (typeof AName !== "string") {
    if (!GCurrentImage) return true;
    AEvent = AName;
    AName = GCurrentImage.Name;
    ASubmitValidation = GCurrentImage.Validation;
    AConfirmation = GCurrentImage.Confirmation;
  }
  var event = AEvent || window.event;
  var image = PageElements(AName)[0] || event.target;
  var box = image.getBoundingClientRect();
  // The picture starts inside the image's border.
  var x = Math.round(event.clientX - box.left - image.clientLeft);
  var y = Math.round(event.clientY - box.top - image.clientTop);
  return SubmitClickConfirm(AName, x + "," + y, ASubmitValidation, AConfirmation);
}

// Pages for the Netscape family wrap a clickable image in an anchor whose mouse-over calls
// this: the image becomes the current one and a press on the anchor posts through ImageClick.
function ImageSetEvent(ALink, AImgName, AValidation, AConfirmation) {
  GCurrentImage = { Name: AImgName, Validation: AValidation, Confirmation: AConfirmation };
  ALink.onmousedown = ImageClick;
  return true;
}

// ---- check boxes and radio buttons ------------------------------------------------------------

// Shows a drawn check box checked or not: its state input holds "On" or "Off", its picture
// is the matching one of the two.
function SetCoolCheckBox(state, Image, checked) {
  state.value = checked ? "On" : "Off";
  if (Image) {
    Image.src = Image.src.replace(/CoolCheckBox_(True|False)\.gif/,
                                  "CoolCheckBox_" + (checked ? "True" : "False") + ".gif");
  }
}

// The drawn check box: flips the state in the input named `Name` (the page's, else the submit
// form's own) and the picture, and posts the page naming the control when asked.
function CoolCheckBoxToggle(Name, Image, Submit) {
  var form = getSubmitForm();
  var state = FindFocus(Name) || (form ? form.elements[Name] : null);
  // The box is drawn inside an anchor to "#": following it would scroll the page to its top.
  if (window.event && window.event.preventDefault) window.event.preventDefault();
  if (!state) return false;
  SetCoolCheckBox(state, Image, !/^on$/i.test(state.value));
  AddChangedControl(Name);
  if (Submit) SubmitClickConfirm(Name.replace(/_CHECKBOX$/, ""), "", true, "");
  return false;
}

// A click on a check box's caption: the box `checkbox` + "_CHECKBOX" flips and the control's
// own click handlers run as if the box had been clicked. The event goes no further, or the
// control's element would run those handlers a second time.
function checkBoxClick(event, checkbox) {
  var name = checkbox + "_CHECKBOX";
  AddChangedControl(name);
  var box = document.getElementById(name);
  if (box) box.checked = !box.checked;
  if (event && event.stopPropagation) event.stopPropagation();
  var element = document.getElementById(checkbox);
  if (element && typeof element.onclick === "function") return element.onclick.call(element, event);
  return true;
}

// Checks the radio button of the group `name` whose value is `selected` (or which is
// `selected`) and clears the others of the group.
function SelectRadioButton(name, selected) {
  var buttons = PageElements(name);
  for (var i = 0; i < buttons.length; i++) {
    if ((buttons[i].type || "").toLowerCase() !== "radio") continue;
    buttons[i].checked = buttons[i] === selected || buttons[i].value === String(selected);
  }
  AddChangedControl(name);
}
