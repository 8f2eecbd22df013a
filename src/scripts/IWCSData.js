// IWCSData.js: served for pages with client-side data sets. This service has none, so the
// file holds no functions.
