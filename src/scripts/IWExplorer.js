// IWExplorer.js: what pages for Internet Explorer need beyond the common library.
"use strict";

// One-time start of a page; nothing is needed beyond the common library.
function StaticInit() {
}
