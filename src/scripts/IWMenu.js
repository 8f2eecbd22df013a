// IWMenu.js: served for pages that hold a menu. This service has no menu control, so the
// file holds no functions.
