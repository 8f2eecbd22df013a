// IWOpera.js: what pages for Opera need beyond the common library. Opera's own element
// handlers are not kept when a client object hooks an event.
"use strict";

GKeepOwnHandlers = false;

// One-time start of a page; nothing is needed beyond the common library.
function StaticInit() {
}
