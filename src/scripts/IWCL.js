// IWCL.js: the client objects of a page. Every rendered control's element is extended with its
// owner, rectangles, alignment and anchors; events are dispatched to several handlers; and when
// the window changes size the objects are laid out again the way the server lays them out.
"use strict";

var alNone = 0, alTop = 1, alBottom = 2, alLeft = 3, alRight = 4, alClient = 5, alCustom = 6;

// Whether a handler the element already had stays first in its event's list (not in Opera).
var GKeepOwnHandlers = true;

var GResizeTimer = null;
var GServerResizeTimer = null;

// ---- values -----------------------------------------------------------------------------------

function Rect(ALeft, ATop, AWidth, AHeight) {
  return { Left: ALeft, Top: ATop, Width: AWidth, Height: AHeight };
}

function CopyRect(ASrcRect) {
  return Rect(ASrcRect.Left, ASrcRect.Top, ASrcRect.Width, ASrcRect.Height);
}

function CreateAnchors(ALeft, ARight, ATop, ABottom) {
  return { Left: !!ALeft, Right: !!ARight, Top: !!ATop, Bottom: !!ABottom };
}

// ---- event dispatch ---------------------------------------------------------------------------

// Runs the handlers of one event in the order they were hooked; the first that returns false
// stops the others and cancels the event.
function IWDispatchEvent(target, name, event) {
  var handlers = target.IWEvents[name];
  for (var i = 0; i < handlers.length; i++) {
    if (handlers[i].call(target, event) === false) {
      if (name === "click") ValidClick = false;
      return false;
    }
  }
  return true;
}

function IWCLHookEvent(event, EventHandler) {
  var target = this;
  var list = target.IWEvents[event];
  if (!list) {
    list = target.IWEvents[event] = [];
    var own = target["on" + event];
    if (typeof own === "function" && GKeepOwnHandlers) list.push(own);
    target["on" + event] = function (e) {
      return IWDispatchEvent(target, event, e || window.event);
    };
  }
  list.push(EventHandler);
}

// ---- visibility -------------------------------------------------------------------------------

function IWCLSetVisible(AVisible) {
  this.Visible = !!AVisible;
  if (this.style) this.style.visibility = this.Visible ? "visible" : "hidden";
}

function IWCLShow() { this.IWSetVisible(true); }
function IWCLHide() { this.IWSetVisible(false); }

// An object is laid out only while it and every owner above it are visible.
function IWCLShowing(obj) {
  for (var o = obj; o; o = o.Owner) {
    if (!o.Visible) return false;
  }
  return true;
}

// ---- alignment and anchors --------------------------------------------------------------------

function IWCLSetAlign(AAlign) { this.Align = AAlign; }
function IWCLSetAnchors(AAnchors) { this.Anchors = AAnchors; }

// The anchors an alignment implies; others make the object follow its anchors first.
function NaturalAnchors(align) {
  switch (align) {
    case alTop: return CreateAnchors(true, true, true, false);
    case alBottom: return CreateAnchors(true, true, false, true);
    case alLeft: return CreateAnchors(true, false, true, true);
    case alRight: return CreateAnchors(false, true, true, true);
    default: return CreateAnchors(true, false, true, false);
  }
}

function SameAnchors(a, b) {
  return a.Left === b.Left && a.Right === b.Right && a.Top === b.Top && a.Bottom === b.Bottom;
}

// One axis of the anchor rule: both sides stretch, the far side only moves, neither keeps the
// centre proportional; the near side only keeps the original place.
function AnchoredAxis(near, far, originalPos, originalSize, parentSize, parentOriginalSize) {
  if (near && far) return { pos: originalPos, size: parentSize - parentOriginalSize + originalSize };
  if (far) return { pos: originalPos + parentSize - parentOriginalSize, size: originalSize };
  if (!near && parentOriginalSize > 0) {
    return {
      pos: Math.round((originalPos + originalSize / 2) * parentSize / parentOriginalSize -
                      originalSize / 2),
      size: originalSize
    };
  }
  return { pos: originalPos, size: originalSize };
}

// The owned objects in alignment order: top, bottom, left, right, client, none; each group in
// creation order, visible ones only, the edge groups sorted from their edge inwards.
function AlignmentOrder(owner) {
  var order = [alTop, alBottom, alLeft, alRight, alClient, alNone];
  var result = [];
  for (var i = 0; i < order.length; i++) {
    var group = owner.OwnedComps.filter(function (o) {
      return (o.Align === order[i] || (order[i] === alNone && o.Align === alCustom)) && IWCLShowing(o);
    });
    var align = order[i];
    group.sort(function (a, b) {
      if (align === alTop) return a.Rect.Top - b.Rect.Top;
      if (align === alBottom) return b.Rect.Top - a.Rect.Top;
      if (align === alLeft) return a.Rect.Left - b.Rect.Left;
      if (align === alRight) return b.Rect.Left - a.Rect.Left;
      return 0;
    });
    result = result.concat(group);
  }
  return result;
}

// Lays out the object's owned objects inside `ANewRect`, the object's new rectangle.
function IWCLUpdateRects(ANewRect) {
  var obj = this;
  if (obj === IWCLForm) IWCLFormResized(ANewRect);
  obj.ClientRect = Rect(0, 0, ANewRect.Width, ANewRect.Height);
  obj.Rect = ANewRect;
  var client = obj.ClientRect;
  var border = obj.BorderWidthPixels || 0;
  var original = obj.OriginalRect;
  var children = AlignmentOrder(obj);
  for (var i = 0; i < children.length; i++) {
    var child = children[i];
    var r = CopyRect(child.Rect);
    if (child.Align === alNone || child.Align === alCustom ||
        !SameAnchors(child.Anchors, NaturalAnchors(child.Align))) {
      var h = AnchoredAxis(child.Anchors.Left, child.Anchors.Right, child.OriginalRect.Left,
                           child.OriginalRect.Width, ANewRect.Width, original.Width);
      var v = AnchoredAxis(child.Anchors.Top, child.Anchors.Bottom, child.OriginalRect.Top,
                           child.OriginalRect.Height, ANewRect.Height, original.Height);
      r = Rect(h.pos, v.pos, h.size, v.size);
    }
    switch (child.Align) {
      case alTop:
        r = Rect(client.Left, client.Top, client.Width - 2 * border, r.Height);
        client = Rect(client.Left, client.Top + r.Height, client.Width, client.Height - r.Height);
        break;
      case alBottom:
        r = Rect(client.Left, client.Top + client.Height - r.Height - 2 * border,
                 client.Width - 2 * border, r.Height);
        client = Rect(client.Left, client.Top, client.Width, client.Height - r.Height);
        break;
      case alLeft:
        r = Rect(client.Left, client.Top, r.Width, client.Height - 2 * border);
        client = Rect(client.Left + r.Width, client.Top, client.Width - r.Width, client.Height);
        break;
      case alRight:
        r = Rect(client.Left + client.Width - r.Width - 2 * border, client.Top, r.Width,
                 client.Height - 2 * border);
        client = Rect(client.Left, client.Top, client.Width - r.Width, client.Height);
        break;
      case alClient:
        r = Rect(client.Left, client.Top, client.Width - 2 * border, client.Height - 2 * border);
        break;
    }
    child.SetRect(r);
    child.UpdateRects(r);
  }
}

// The form's own part of a re-layout: the server is told a new size through the resize frame
// (when the page has one), and the next post reports the size.
function IWCLFormResized(ANewRect) {
  var old = IWCLForm.Rect;
  var frame = document.getElementById("onresize");
  if (frame && typeof GResizeURL !== "undefined" &&
      (old.Width !== ANewRect.Width || old.Height !== ANewRect.Height)) {
    if (GServerResizeTimer) clearTimeout(GServerResizeTimer);
    GServerResizeTimer = setTimeout(function () {
      GServerResizeTimer = null;
      if (GSubmitting) return;
      GSubmitting = true;
      frame.src = GResizeURL + "&IW_width=" + ANewRect.Width + "&IW_height=" + ANewRect.Height;
    }, GOnResizetimeout);
  }
  var form = getSubmitForm();
  if (form) {
    if (form.elements["IW_width"]) form.elements["IW_width"].value = ANewRect.Width;
    if (form.elements["IW_height"]) form.elements["IW_height"].value = ANewRect.Height;
  }
}

// Moves and sizes the element; its size is its whole box, border included.
function IWCLSetRect(ARect) {
  var el = this;
  el.Rect = CopyRect(ARect);
  if (!el.style) return;
  if (el.offsetLeft !== ARect.Left) el.style.left = ARect.Left + "px";
  if (el.offsetTop !== ARect.Top) el.style.top = ARect.Top + "px";
  if (el.offsetWidth !== ARect.Width || el.offsetHeight !== ARect.Height) {
    el.style.boxSizing = "border-box";
    el.style.width = ARect.Width + "px";
    el.style.height = ARect.Height + "px";
  }
  if (el.style.clip) {
    el.style.clip = "rect(0px," + ARect.Width + "px," + ARect.Height + "px,0px)";
  }
}

// ---- creation and release ---------------------------------------------------------------------

// Gives a page element (or the plain form object) the client object's members.
function IWCLExtend(obj, owner, rect) {
  obj.Owner = owner;
  obj.Rect = rect;
  obj.OriginalRect = CopyRect(rect);
  obj.ClientRect = Rect(0, 0, rect.Width, rect.Height);
  obj.Align = alNone;
  obj.Anchors = CreateAnchors(true, false, true, false);
  obj.Visible = true;
  obj.BorderWidthPixels = 0;
  obj.OwnedComps = [];
  obj.IWEvents = {};
  obj.IWShow = IWCLShow;
  obj.IWHide = IWCLHide;
  obj.IWSetVisible = IWCLSetVisible;
  obj.SetAlign = IWCLSetAlign;
  obj.SetAnchors = IWCLSetAnchors;
  obj.SetRect = IWCLSetRect;
  obj.UpdateRects = IWCLUpdateRects;
  obj.HookEvent = IWCLHookEvent;
  obj.IWRelease = IWCLRelease;
  if (owner) owner.OwnedComps.push(obj);
  return obj;
}

// The client object of the element `AId`, owned by `AOwner`; null when the page has no such
// element. The element's own style decides whether it shows.
function NewIWCL(AOwner, AId, AVisibility) {
  var el = document.getElementById(AId);
  if (!el) return null;
  IWCLExtend(el, AOwner, Rect(el.offsetLeft, el.offsetTop, el.offsetWidth, el.offsetHeight));
  if (AVisibility) el.IWSetVisible(true);
  return el;
}

// Releases the object and everything it owns: handlers unhooked, links dropped.
function IWCLRelease() {
  var owned = this.OwnedComps || [];
  for (var i = 0; i < owned.length; i++) owned[i].IWRelease();
  for (var name in this.IWEvents) {
    if (this.style) this["on" + name] = null;
  }
  this.IWEvents = {};
  this.OwnedComps = [];
  this.Owner = null;
}

// The form object, covering the body at the form's size.
function InitRects(AFormWidth, AFormHeight) {
  if (IWCLForm) {
    IWCLForm.IWRelease();
    SetBusy(false);
  }
  IWCLForm = IWCLExtend({}, null, Rect(0, 0, AFormWidth, AFormHeight));
}

function ReleaseIWCL() {
  if (IWCLForm) IWCLForm.IWRelease();
  IWCLForm = null;
}

// ---- window size ------------------------------------------------------------------------------

// The window changed size: the page is laid out again 50 ms later (restarted by every change),
// then once more with the scrolled size when that is larger.
function Body_OnResize() {
  if (GResizeTimer) clearTimeout(GResizeTimer);
  GResizeTimer = setTimeout(function () {
    GResizeTimer = null;
    if (!IWCLForm || !document.body) return;
    var body = document.body;
    IWCLForm.UpdateRects(Rect(0, 0, body.clientWidth, body.clientHeight));
    if (document.getElementById("onresize")) return;
    setTimeout(function () {
      if (!IWCLForm) return;
      IWCLForm.UpdateRects(Rect(0, 0, Math.max(body.clientWidth, body.scrollWidth),
                                Math.max(body.clientHeight, body.scrollHeight)));
    }, 20);
  }, 50);
  return true;
}
