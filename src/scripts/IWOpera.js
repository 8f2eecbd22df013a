// IWOpera.js: one of the client script files served under /js/.
// Its functions arrive with the client script library.
