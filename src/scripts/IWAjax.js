// IWAjax.js: asynchronous callbacks. A control's script event calls processAjaxEvent; callbacks
// go to the server one at a time, and each XML reply updates elements in place, runs scripts
// and may give the submit form a new action, all without a new page.
"use strict";

// Callbacks raised while one was on its way, in the order they were raised.
var GAjaxQueue = [];
// A callback is on its way, or about to be sent.
var GAjaxRunning = false;
// The name of the callback sent last: a repeat of it may be skipped while others wait.
var GAjaxLastName = null;
// A reply showed the server in trouble; nothing is sent after it.
var GAjaxServerProblem = false;

// ---- raising ----------------------------------------------------------------------------------

// "ALT_MASK,", "CTRL_MASK,", "META_MASK," and "SHIFT_MASK" for the keys held down.
function AjaxModifiers(event) {
  return (event.altKey ? "ALT_MASK," : "") + (event.ctrlKey ? "CTRL_MASK," : "") +
         (event.metaKey ? "META_MASK," : "") + (event.shiftKey ? "SHIFT_MASK" : "");
}

// What the server learns of the event: the mouse position in the page, the button or key and
// the modifier keys, by the kind of event.
function AjaxEventDetails(event) {
  if (!event || !event.type) return "";
  var position = "&x=" + Math.round(event.pageX || 0) + "&y=" + Math.round(event.pageY || 0);
  switch (event.type) {
    case "click": case "dblclick": case "mousedown": case "mouseup":
      return position + "&which=" + event.which + "&modifiers=" + AjaxModifiers(event);
    case "keydown": case "keypress": case "keyup":
      return position + "&which=" + (event.keyCode || event.which) +
             "&modifiers=" + AjaxModifiers(event);
    case "mousemove": case "mouseout": case "mouseover":
      return position;
    default:
      return "";
  }
}

// The field name of a control given as its client object, its element or its name.
function AjaxControlName(control) {
  if (!control) return "";
  if (typeof control === "string") return control;
  return control.name || control.id || "";
}

// Sends the callback `aCallback` for `event` raised on `aSender`. Only one callback runs at a
// time: one raised meanwhile waits, and a repeat of the one sent last is dropped while others
// wait unless `aAppend` asks to keep it. An idle page sends at once when `aDirectSend` asks,
// otherwise 10 ms later. `aSendControl` names one more control whose value goes along.
function processAjaxEvent(event, aSender, aCallback, aDirectSend, aSendControl, aAppend) {
  if (GAjaxServerProblem) return true;
  var callback = {
    name: aCallback,
    details: AjaxEventDetails(event),
    controls: [AjaxControlName(aSender), AjaxControlName(aSendControl)],
    // A request raised while the page goes away must outlive it.
    keepalive: !!event && event.type === "unload"
  };
  if (GAjaxRunning) {
    if (!aAppend && GAjaxQueue.length > 0 && aCallback === GAjaxLastName) return true;
    GAjaxQueue.push(callback);
    return true;
  }
  GAjaxRunning = true;
  if (aDirectSend) SendCallback(callback);
  else setTimeout(function () { SendCallback(callback); }, 10);
  return true;
}

// ---- sending ----------------------------------------------------------------------------------

// The names on the changed-controls list, which then starts again empty.
function TakeChangedControls() {
  var names = window.ChangedControls.split(",").filter(function (n) { return n !== ""; });
  window.ChangedControls = "";
  return names;
}

// The body of a callback post: the submit form's own fields (session, track number, form,
// window size, hidden fields) and the page values of the changed controls only, so that the
// values of the other controls on the server stay as they are.
function CallbackPostData(changed) {
  var data = new URLSearchParams();
  var form = getSubmitForm();
  if (!form) return data;
  var inputs = form.getElementsByTagName("input");
  for (var i = 0; i < inputs.length; i++) {
    var input = inputs[i];
    if (!input.name || input.name === "IW_Action" || input.name === "IW_ActionParam") continue;
    var own = /^IW_/.test(input.name) || /^HIDDEN_/.test(input.id);
    var value = changed.indexOf(input.name) >= 0 ? PageValue(input.name)
                : own ? input.value : undefined;
    if (value !== undefined) data.append(input.name, value);
  }
  return data;
}

// A GET when no control changed, otherwise a POST of the changed controls' values; the track
// number stays the page's (a callback makes no new page).
function SendCallback(callback) {
  GAjaxLastName = callback.name;
  for (var i = 0; i < callback.controls.length; i++) AddChangedControl(callback.controls[i]);
  var changed = TakeChangedControls();
  var url = GURLBase + "/callback/" + GTrackID + "/" + GAppID + "?callback=" +
            encodeURIComponent(callback.name) + callback.details;
  var request = { method: "GET", credentials: "same-origin", keepalive: callback.keepalive };
  if (changed.length > 0) {
    request.method = "POST";
    request.body = CallbackPostData(changed);
  }
  fetch(url, request)
    .then(function (reply) {
      return reply.text().then(function (text) { ProcessCallbackReply(reply.ok, text); });
    })
    .catch(function (error) {
      ServerProblem("the callback " + callback.name + " failed: " + error);
    })
    .then(SendNextCallback);
}

// The next waiting callback goes once the reply of the last one has been processed.
function SendNextCallback() {
  var next = GAjaxQueue.shift();
  if (next && !GAjaxServerProblem) {
    SendCallback(next);
  } else {
    GAjaxQueue = [];
    GAjaxRunning = false;
  }
}

// After a server problem the waiting callbacks are dropped and no more are sent.
function ServerProblem(message) {
  GAjaxServerProblem = true;
  GAjaxQueue = [];
  debugAlert(message);
}

// ---- the reply --------------------------------------------------------------------------------

// The reply's "response" element, in document order: "submit" gives the submit form a new
// action, each child of "update" updates one element, each child of "execute" runs as script.
// An error or a reply that is not such a document shows a server problem.
function ProcessCallbackReply(ok, text) {
  var response = null;
  if (ok && text) {
    var root = new DOMParser().parseFromString(text, "text/xml").documentElement;
    if (root && root.nodeName === "response") response = root;
  }
  if (!response) {
    ServerProblem("the server could not answer a callback");
    return;
  }
  for (var i = 0; i < response.children.length; i++) {
    var part = response.children[i];
    if (part.nodeName === "submit") {
      var form = getSubmitForm();
      if (form) form.action = part.textContent;
    } else if (part.nodeName === "update") {
      for (var k = 0; k < part.children.length; k++) UpdateElementFromReply(part.children[k]);
    } else if (part.nodeName === "execute") {
      for (var m = 0; m < part.children.length; m++) ExecuteFromReply(part.children[m].textContent);
    }
  }
}

// Runs a script of the reply in the page's global scope. A failing script does not stop the
// rest of the reply; it is reported as a script error of the page.
function ExecuteFromReply(script) {
  try {
    (0, eval)(script);
  } catch (error) {
    setTimeout(function () { throw error; }, 0);
  }
}

function ReplyFlag(text) {
  return /^(true|on|1|yes)$/i.test(text.trim());
}

// A child element of a reply element, or its attribute of that name (null when neither).
function ReplyPart(element, name) {
  if (element.hasAttribute(name)) return element.getAttribute(name);
  for (var i = 0; i < element.children.length; i++) {
    if (element.children[i].nodeName.toLowerCase() === name) return element.children[i].textContent;
  }
  return null;
}

// The list's options rebuilt from the reply's "item" elements (value, selected, text).
function ReplaceOptions(select, items) {
  select.options.length = 0;
  for (var i = 0; i < items.children.length; i++) {
    var item = items.children[i];
    var text = ReplyPart(item, "text");
    var option = new Option(text !== null ? text : item.children.length ? "" : item.textContent,
                            ReplyPart(item, "value") || "");
    option.selected = ReplyFlag(ReplyPart(item, "selected") || "");
    select.add(option);
  }
}

// How each property of a "control" element reaches the page: (element, text, id, property
// element).
var GReplySetters = {
  innerhtml: function (element, text) { element.innerHTML = text; },
  text: function (element, text) {
    if ("value" in element) element.value = text;
    else element.textContent = text;
  },
  caption: function (element, text, id) {
    var caption = document.getElementById(id + "_CHKBCAPTION");
    if (caption) caption.innerHTML = text;
    else if (element.tagName === "INPUT") element.value = text;
    else element.textContent = text;
  },
  readonly: function (element, text) {
    if (element.tagName === "SELECT") element.disabled = ReplyFlag(text);
    else element.readOnly = ReplyFlag(text);
  },
  checked: function (element, text, id) {
    var box = FindFocus(id + "_CHECKBOX");
    if (!box) return;
    if ((box.type || "").toLowerCase() === "checkbox") {
      box.checked = ReplyFlag(text);
    } else {
      SetCoolCheckBox(box, document.images[id + "_Image"], ReplyFlag(text));
    }
  },
  bgcolor: function (element, text) { element.style.backgroundColor = text; },
  alignment: function (element, text) {
    element.style.textAlign = text.replace(/^text-align:/, "").replace(/;$/, "");
  },
  src: function (element, text) {
    var image = element.src !== undefined ? element : element.getElementsByTagName("img")[0];
    if (image) image.src = text;
  },
  select_type: function (element, text) { element.multiple = text === "select-multiple"; },
  items: function (element, text, id, property) {
    if (element.tagName === "SELECT") ReplaceOptions(element, property);
  }
};

// A "control" element of the reply: the page element whose id is its "id" (upper case) takes
// each property the element carries; unknown properties and missing elements are skipped.
function UpdateElementFromReply(control) {
  var id = (control.getAttribute("id") || "").toUpperCase();
  var element = id ? document.getElementById(id) : null;
  if (!element) return;
  for (var i = 0; i < control.children.length; i++) {
    var property = control.children[i];
    var setter = GReplySetters[property.nodeName.toLowerCase()];
    if (setter) setter(element, property.textContent, id, property);
  }
}
