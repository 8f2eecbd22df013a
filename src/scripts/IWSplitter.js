// IWSplitter.js: the client half of splitter regions. Dragging the grip <E>_grip on the free
// edge of an aligned region resizes the region live, lays its owner out again and writes the
// region's new rectangle "left,top,width,height" into <E>_data, which the next post carries.
"use strict";

// A region is never dragged smaller than this, nor so large that its owner keeps less.
var GSplitterMinSize = 8;
// The drag in progress, or null.
var GSplitterDrag = null;

// The splitter the element belongs to when it is a grip: the region's client object, its
// data input and whether it resizes vertically; null otherwise.
function SplitterOf(grip) {
  var match = /^(.+)_grip$/.exec(grip.id || "");
  if (!match) return null;
  var region = window[match[1] + "IWCL"];
  var data = document.getElementById(match[1] + "_data");
  if (!region || !region.Owner || !data) return null;
  var align = region.Align;
  if (align !== alTop && align !== alBottom && align !== alLeft && align !== alRight) return null;
  return { region: region, data: data, vertical: align === alTop || align === alBottom };
}

// Gives the region the size `size` along its splitter's axis and lays its owner out again,
// so that the regions aligned after it follow. The design size moves by the same amount, so
// that later re-layouts (a resized window) keep the new size.
function ResizeSplitRegion(drag, size) {
  var region = drag.splitter.region;
  var owner = region.Owner;
  var side = drag.splitter.vertical ? "Height" : "Width";
  size = Math.max(GSplitterMinSize, Math.min(size, owner.Rect[side] - GSplitterMinSize));
  region.OriginalRect[side] += size - region.Rect[side];
  region.Rect[side] = size;
  owner.UpdateRects(owner.Rect);
  WriteSplitterData(drag, size - drag.size);
}

// The rectangle the server gave ("left,top,width,height" in its own terms, which differ from
// the element's box by browser) changed by the drag: the size by `delta`, and the place of a
// region aligned to the bottom or right, whose free edge is its top or left one.
function WriteSplitterData(drag, delta) {
  var r = drag.data.slice();
  var align = drag.splitter.region.Align;
  r[drag.splitter.vertical ? 3 : 2] += delta;
  if (align === alBottom) r[1] -= delta;
  if (align === alRight) r[0] -= delta;
  drag.splitter.data.value = r.join(",");
}

function SplitterPointerDown(event) {
  var splitter = SplitterOf(event.target);
  if (!splitter || locked || event.button !== 0) return;
  var r = splitter.region.Rect;
  var data = splitter.data.value.split(",").map(Number);
  if (data.length !== 4 || data.some(isNaN)) data = [r.Left, r.Top, r.Width, r.Height];
  GSplitterDrag = {
    splitter: splitter,
    data: data,
    start: splitter.vertical ? event.clientY : event.clientX,
    size: splitter.vertical ? r.Height : r.Width,
    // A region aligned to the top or left grows as its grip (on its bottom or right edge)
    // moves down or right; the others grow the other way.
    sign: splitter.region.Align === alTop || splitter.region.Align === alLeft ? 1 : -1
  };
  event.target.setPointerCapture(event.pointerId);
  event.preventDefault();
}

function SplitterPointerMove(event) {
  var drag = GSplitterDrag;
  if (!drag) return;
  var moved = (drag.splitter.vertical ? event.clientY : event.clientX) - drag.start;
  ResizeSplitRegion(drag, Math.round(drag.size + drag.sign * moved));
  event.preventDefault();
}

function SplitterPointerUp() {
  GSplitterDrag = null;
}

// Grips are found by their ids when they are pressed, so the page's own initialisation needs
// no call into this file.
document.addEventListener("pointerdown", SplitterPointerDown);
document.addEventListener("pointermove", SplitterPointerMove);
document.addEventListener("pointerup", SplitterPointerUp);
document.addEventListener("pointercancel", SplitterPointerUp);
