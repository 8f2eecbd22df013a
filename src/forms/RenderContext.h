// The contexts of one render: a container context per container (its layout manager and the
// component contexts of its rendered children, in order) and a component context per rendered
// component (the component, the page context, the tag it rendered).
#pragma once

#include <memory>
#include <vector>

#include "forms/Interfaces.h"
#include "forms/MarkupTag.h"
#include "forms/PageContext.h"

namespace qx {

class TIWApplication;
class TIWBaseContainer;
class TIWLayoutMgr;
class TIWContainerContext;

class TIWComponent40Context {
 public:
  TIWComponent40Context(IIWBaseComponent& component, TIWPageContext40& page,
                        TIWContainerContext& container) noexcept
      : component_(component), page_(page), container_(container) {}
  TIWComponent40Context(const TIWComponent40Context&) = delete;
  TIWComponent40Context& operator=(const TIWComponent40Context&) = delete;

  IIWBaseComponent& Component() const noexcept { return component_; }
  TIWPageContext40& PageContext() const noexcept { return page_; }
  // The context of the container the component is rendered in.
  TIWContainerContext& ContainerContext() const noexcept { return container_; }
  TIWLayoutMgr& LayoutMgr() const noexcept;
  TIWBrowser Browser() const noexcept { return page_.Browser(); }

  // The rendered tag (none for components without markup).
  TIWMarkupLanguageTag* Tag() const noexcept { return tag_.get(); }
  void SetTag(std::unique_ptr<TIWMarkupLanguageTag> tag) noexcept { tag_ = std::move(tag); }
  std::unique_ptr<TIWMarkupLanguageTag> TakeTag() noexcept { return std::move(tag_); }

  // For a container: the context of its own children.
  TIWContainerContext* Children() const noexcept { return children_.get(); }
  void SetChildren(std::unique_ptr<TIWContainerContext> children) noexcept;

 private:
  IIWBaseComponent& component_;
  TIWPageContext40& page_;
  TIWContainerContext& container_;
  std::unique_ptr<TIWMarkupLanguageTag> tag_;
  std::unique_ptr<TIWContainerContext> children_;
};

class TIWContainerContext {
 public:
  TIWContainerContext(TIWBaseContainer& container, TIWLayoutMgr& layoutMgr,
                      TIWApplication* application, bool updateTree) noexcept
      : container_(container), layoutMgr_(layoutMgr), application_(application),
        updateTree_(updateTree) {}
  TIWContainerContext(const TIWContainerContext&) = delete;
  TIWContainerContext& operator=(const TIWContainerContext&) = delete;

  TIWBaseContainer& Container() const noexcept { return container_; }
  TIWLayoutMgr& LayoutMgr() const noexcept { return layoutMgr_; }
  TIWApplication* Application() const noexcept { return application_; }
  // The render is a partial update (invisible controls are walked too).
  bool UpdateTree() const noexcept { return updateTree_; }

  const std::vector<std::unique_ptr<TIWComponent40Context>>& Components() const noexcept {
    return components_;
  }
  TIWComponent40Context& Add(std::unique_ptr<TIWComponent40Context> context) {
    components_.push_back(std::move(context));
    return *components_.back();
  }

 private:
  TIWBaseContainer& container_;
  TIWLayoutMgr& layoutMgr_;
  TIWApplication* application_;
  bool updateTree_;
  std::vector<std::unique_ptr<TIWComponent40Context>> components_;
};

inline TIWLayoutMgr& TIWComponent40Context::LayoutMgr() const noexcept {
  return container_.LayoutMgr();
}

inline void TIWComponent40Context::SetChildren(std::unique_ptr<TIWContainerContext> children) noexcept {
  children_ = std::move(children);
}

}  // namespace qx
