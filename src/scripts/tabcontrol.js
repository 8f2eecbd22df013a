// tabcontrol.js: the client half of the tab control. The page's init_<E>() binds a JSTabControl
// to the control's element and adds its pages; a click on a page's title selects the page,
// writes its index into <E>_input and, when the control asks, posts the page.
"use strict";

// One page: its index, its element and its title element.
function JSTabPage(AIndex, oElement, ATitle) {
  this.Index = AIndex;
  this.Element = oElement;
  this.Title = ATitle;
}

// Nothing happens on a control whose element is missing.
function JSTabControl(el) {
  this.Element = el || null;
  this.Pages = [];
  this.selectedIndex = 0;
  this.SubmitOnChange = false;
  this.SubmitOnAsync = false;
}

// Appends the page `oElement` whose title has the id `ATabTitleID`: shown when it is the
// selected one, hidden otherwise; a click on the title selects it.
JSTabControl.prototype.addTabPage = function (oElement, ATabTitleID) {
  if (!this.Element || !oElement) return null;
  var page = new JSTabPage(this.Pages.length, oElement, document.getElementById(ATabTitleID));
  this.Pages.push(page);
  this.ShowPage(page, page.Index === this.selectedIndex);
  var control = this;
  if (page.Title) {
    page.Title.onclick = function () {
      control.setSelectedIndex(page.Index);
      return false;
    };
  }
  return page;
};

// Selects the page `AIndex`: the old page hides and the new one shows when it is another; in
// every case the index goes into <E>_input. A change is noted for the next callback and,
// with SubmitOnChange, posts.
JSTabControl.prototype.setSelectedIndex = function (AIndex) {
  if (!this.Element || AIndex < 0 || AIndex >= this.Pages.length) return;
  var changed = AIndex !== this.selectedIndex;
  if (changed) {
    if (this.Pages[this.selectedIndex]) this.ShowPage(this.Pages[this.selectedIndex], false);
    this.selectedIndex = AIndex;
    this.ShowPage(this.Pages[AIndex], true);
  }
  var input = FindFocus(this.Element.id + "_input");
  if (input) input.value = AIndex;
  // A callback raised on the new page carries the choice.
  if (changed) AddChangedControl(this.Element.id + "_input");
  if (changed && this.SubmitOnChange) SubmitClick(this.Element.id, "", false);
};

// A shown page is a block and its title has the active look; a hidden one is not displayed
// and its title has the inactive look. The looks are the styles of the two style holders.
JSTabControl.prototype.ShowPage = function (page, AShow) {
  page.Element.style.display = AShow ? "block" : "none";
  var holder = document.getElementById("STYLEHOLDER_" + this.Element.id +
                                       (AShow ? "_ACTIVE" : "_INACTIVE"));
  if (page.Title && holder) page.Title.setAttribute("style", holder.getAttribute("style") || "");
};
