// Class information: each class's name, parent, factory, form definition, published
// properties (typed getter/setter pairs found by name) and event handler table, and the
// process-wide class registry that definitions name their classes through.
//
// A class declares QX_CLASS(Self, Base) and defines its table once in its .cpp file:
//   const TClassInfo& TMyLabel::StaticClassInfo() {
//     static const TClassInfo info = TClassBuilder<TMyLabel>("TMyLabel")
//         .Creatable()
//         .Property("Caption", &TMyLabel::Caption, &TMyLabel::SetCaption)
//         .Property("Font", &TMyLabel::Font)
//         .Build();
//     return info;
//   }
// The kind of each property follows from the getter's type; derived classes inherit the
// table and extend it. Names are compared without regard to letter case.
#pragma once

#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "runtime/Collection.h"
#include "runtime/Colors.h"
#include "runtime/Component.h"
#include "runtime/Enums.h"
#include "runtime/StringList.h"
#include "runtime/Strings.h"

namespace qx {

// A property was given a value it cannot take (a reference to a component of the wrong class).
QX_EXCEPTION_CLASS(EPropertyError, Exception);

enum class TPropKind {
  Integer,     // any integral type
  Float,       // double
  Boolean,     // bool
  String,      // std::string (Windows-1252 text)
  Enum,        // an enumeration with EnumInfoOf
  Set,         // TSet<E>
  Color,       // TColor
  Strings,     // TStringList
  Binary,      // std::string holding bytes (pictures)
  Object,      // a nested persistent object the owner keeps (Font, BorderOptions)
  Collection,  // a TCollection the owner keeps (a grid's Columns)
  Component,   // a non-owning reference to another component
  Event,       // a std::function bound to a handler method by name
};

// One published property. Only the accessors of its kind are set. Getters and setters work
// on the typed members of the class; nothing is parsed when they run.
struct TPropInfo {
  std::string name;
  TPropKind kind = TPropKind::Integer;
  const TEnumInfo* enumInfo = nullptr;         // Enum, Set: the value names
  const TClassInfo* componentClass = nullptr;  // Component: the class a value must have
  std::type_index eventType{typeid(void)};     // Event: the std::function type it holds
  std::int64_t minValue = 0, maxValue = 0;     // Integer: the range of the setter's type

  // Integer, Boolean (0/1), Enum (value), Set (bits), Color (value).
  std::function<std::int64_t(const TObject&)> getOrdinal;
  std::function<void(TObject&, std::int64_t)> setOrdinal;
  std::function<double(const TObject&)> getFloat;
  std::function<void(TObject&, double)> setFloat;
  // String and Binary.
  std::function<std::string(const TObject&)> getString;
  std::function<void(TObject&, std::string_view)> setString;
  std::function<TStringList(const TObject&)> getStrings;
  std::function<void(TObject&, const TStringList&)> setStrings;
  // Object and Collection: the nested object, never null for a constructed owner.
  std::function<TPersistent*(TObject&)> getObject;
  std::function<TComponent*(const TObject&)> getComponent;
  // Fails with EPropertyError when the component is not of componentClass.
  std::function<void(TObject&, TComponent*)> setComponent;
  std::function<bool(const TObject&)> isAssigned;
  // The value holds a std::function of eventType; an empty value clears the event.
  std::function<void(TObject&, const std::any&)> setEvent;
};

// One event handler of a form class: binding it to an instance gives a std::function of
// `type` that calls the method on that instance.
struct THandlerInfo {
  std::string name;
  std::type_index type{typeid(void)};
  std::function<std::any(TObject& instance)> bind;
};

class TClassInfo {
 public:
  TClassInfo(std::string name, const TClassInfo* parent);
  TClassInfo(TClassInfo&&) noexcept = default;
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const std::string& Name() const noexcept { return name_; }
  const TClassInfo* Parent() const noexcept { return parent_; }
  // One comparison: an ancestor's own count of ancestors is its index in ours.
  bool InheritsFrom(const TClassInfo& ancestor) const noexcept {
    const std::size_t depth = ancestor.ancestors_.size();
    return &ancestor == this || (depth < ancestors_.size() && ancestors_[depth] == &ancestor);
  }

  // Whether definitions can create instances (the class registered a factory).
  bool Creatable() const noexcept { return factory_ != nullptr; }
  // A new, unowned, not yet loaded instance; use CreateComponent (FormReader.h) to get one
  // that has read its definition. Fails with EComponentError when not creatable.
  Owned<TComponent> NewInstance() const;
  // Name of the embedded resource holding the class's own form definition, or empty.
  const std::string& Definition() const noexcept { return definition_; }

  // Published properties, this class's and its ancestors', the ancestors' first.
  const std::vector<const TPropInfo*>& Properties() const noexcept { return properties_; }
  const TPropInfo* FindProperty(std::string_view name) const noexcept;
  // Event handlers of this class and its ancestors.
  const THandlerInfo* FindHandler(std::string_view name) const noexcept;

 private:
  template <class T>
  friend class TClassBuilder;
  void AddProperty(std::unique_ptr<TPropInfo> property);
  void AddHandler(std::unique_ptr<THandlerInfo> handler);

  std::string name_;
  const TClassInfo* parent_;
  // Every ancestor, the root first. (Not this class itself: a class info is moved out of its
  // builder, while the ancestors' infos stay where they are.)
  std::vector<const TClassInfo*> ancestors_;
  std::string definition_;
  Owned<TComponent> (*factory_)() = nullptr;
  std::vector<std::unique_ptr<TPropInfo>> ownProperties_;
  std::vector<const TPropInfo*> properties_;
  std::map<std::string, const TPropInfo*, TextLess> propertyIndex_;
  std::vector<std::unique_ptr<THandlerInfo>> ownHandlers_;
  std::map<std::string, const THandlerInfo*, TextLess> handlerIndex_;
};

// `object` as the class T when it is one, else nullptr: dynamic_cast for the classes of this
// model, answered by their class information. The walks over a form's components ask it of
// every component on every request, where dynamic_cast would compare type names as strings
// (the components live in a shared library).
template <class T>
T* ClassCast(TObject* object) noexcept {
  return object && object->ClassInfo().InheritsFrom(T::StaticClassInfo()) ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* ClassCast(const TObject* object) noexcept {
  return object && object->ClassInfo().InheritsFrom(T::StaticClassInfo()) ? static_cast<const T*>(object)
                                                                           : nullptr;
}

// ---- class registry ------------------------------------------------------------------------

// Makes a class known to definitions by its name. Registering the same class again does
// nothing; another class of the same name fails with EComponentError. Classes register at
// start-up; lookups may come from any thread.
void RegisterClass(const TClassInfo& info);
template <class... T>
void RegisterClasses() {
  (RegisterClass(T::StaticClassInfo()), ...);
}
// The registered class of that name (letter case ignored), or nullptr.
const TClassInfo* FindClass(std::string_view name) noexcept;

// ---- building a class's table ----------------------------------------------------------------

// Fails with EPropertyError "Component '<name>' is a <class>, not a <expected>.".
[[noreturn]] void RaiseWrongComponentClass(const TComponent& c, const TClassInfo& expected);

namespace detail {

template <class M>
struct GetterTraits;
template <class C, class R>
struct GetterTraits<R (C::*)() const> {
  using Class = C;
  using Result = R;
};
template <class C, class R>
struct GetterTraits<R (C::*)() const noexcept> : GetterTraits<R (C::*)() const> {};
template <class C, class R>
struct GetterTraits<R (C::*)()> : GetterTraits<R (C::*)() const> {};
template <class C, class R>
struct GetterTraits<R (C::*)() noexcept> : GetterTraits<R (C::*)() const> {};

template <class M>
struct SetterTraits;
template <class C, class A>
struct SetterTraits<void (C::*)(A)> {
  using Class = C;
  using Arg = std::remove_cvref_t<A>;
};
template <class C, class A>
struct SetterTraits<void (C::*)(A) noexcept> : SetterTraits<void (C::*)(A)> {};

template <class M>
struct MethodTraits;
template <class F, class R, class... A>
struct MethodTraits<R (F::*)(A...)> {
  using Class = F;
  using Function = std::function<R(A...)>;
  template <class T>
  static Function Bind(T& self, R (F::*method)(A...)) {
    F* target = &self;
    return [target, method](A... args) -> R { return (target->*method)(std::forward<A>(args)...); };
  }
};
template <class F, class R, class... A>
struct MethodTraits<R (F::*)(A...) noexcept> {
  using Class = F;
  using Function = std::function<R(A...)>;
  template <class T>
  static Function Bind(T& self, R (F::*method)(A...) noexcept) {
    F* target = &self;
    return [target, method](A... args) -> R { return (target->*method)(std::forward<A>(args)...); };
  }
};

template <class V>
struct IsStdFunction : std::false_type {};
template <class S>
struct IsStdFunction<std::function<S>> : std::true_type {};

// Calls a getter on an object known to be of its class (or a descendant).
template <class G>
decltype(auto) Get(const TObject& object, G getter) {
  using C = typename GetterTraits<G>::Class;
  return (const_cast<C&>(static_cast<const C&>(object)).*getter)();
}
template <class S, class V>
void Set(TObject& object, S setter, V&& value) {
  using C = typename SetterTraits<S>::Class;
  (static_cast<C&>(object).*setter)(std::forward<V>(value));
}

}  // namespace detail

template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(std::string name) : info_(std::move(name), &T::Inherited::StaticClassInfo()) {
    static_assert(std::is_same_v<typename T::ThisClass, T>, "the class must declare QX_CLASS");
  }

  // Definitions may create instances of the class (it must be a component).
  TClassBuilder& Creatable() {
    static_assert(std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T>);
    info_.factory_ = [] { return Owned<TComponent>(new T); };
    return *this;
  }
  // The embedded resource with the class's own form definition, read at creation.
  TClassBuilder& Definition(std::string resourceName) {
    info_.definition_ = std::move(resourceName);
    return *this;
  }

  // A property with a getter and a setter; the kind follows from the getter's type.
  template <class G, class S>
  TClassBuilder& Property(std::string name, G getter, S setter) {
    using V = std::remove_cvref_t<typename detail::GetterTraits<G>::Result>;
    using A = typename detail::SetterTraits<S>::Arg;
    auto p = std::make_unique<TPropInfo>();
    p->name = std::move(name);
    if constexpr (std::is_same_v<V, bool>) {
      p->kind = TPropKind::Boolean;
      p->getOrdinal = [getter](const TObject& o) -> std::int64_t { return detail::Get(o, getter) ? 1 : 0; };
      p->setOrdinal = [setter](TObject& o, std::int64_t v) { detail::Set(o, setter, v != 0); };
    } else if constexpr (std::is_same_v<V, TColor>) {
      p->kind = TPropKind::Color;
      p->getOrdinal = [getter](const TObject& o) -> std::int64_t { return ColorValue(detail::Get(o, getter)); };
      p->setOrdinal = [setter](TObject& o, std::int64_t v) {
        detail::Set(o, setter, TColor{static_cast<std::int32_t>(v)});
      };
    } else if constexpr (NamedEnum<V>) {
      p->kind = TPropKind::Enum;
      p->enumInfo = &EnumInfoOf(V{});
      p->getOrdinal = [getter](const TObject& o) -> std::int64_t { return static_cast<std::int64_t>(detail::Get(o, getter)); };
      p->setOrdinal = [setter](TObject& o, std::int64_t v) { detail::Set(o, setter, static_cast<V>(v)); };
    } else if constexpr (NamedSet<V>) {
      p->kind = TPropKind::Set;
      p->enumInfo = &EnumInfoOf(typename V::Element{});
      p->getOrdinal = [getter](const TObject& o) -> std::int64_t { return static_cast<std::int64_t>(detail::Get(o, getter).Bits()); };
      p->setOrdinal = [setter](TObject& o, std::int64_t v) {
        detail::Set(o, setter, V::FromBits(static_cast<std::uint64_t>(v)));
      };
    } else if constexpr (std::is_integral_v<V>) {
      static_assert(std::is_integral_v<A> && sizeof(A) <= sizeof(std::int64_t));
      p->kind = TPropKind::Integer;
      p->minValue = static_cast<std::int64_t>(std::numeric_limits<A>::min());
      p->maxValue = sizeof(A) == sizeof(std::int64_t) && std::is_unsigned_v<A>
                        ? std::numeric_limits<std::int64_t>::max()
                        : static_cast<std::int64_t>(std::numeric_limits<A>::max());
      p->getOrdinal = [getter](const TObject& o) -> std::int64_t { return static_cast<std::int64_t>(detail::Get(o, getter)); };
      p->setOrdinal = [setter](TObject& o, std::int64_t v) { detail::Set(o, setter, static_cast<A>(v)); };
    } else if constexpr (std::is_floating_point_v<V>) {
      p->kind = TPropKind::Float;
      p->getFloat = [getter](const TObject& o) -> double { return detail::Get(o, getter); };
      p->setFloat = [setter](TObject& o, double v) { detail::Set(o, setter, static_cast<A>(v)); };
    } else if constexpr (std::is_same_v<V, std::string>) {
      p->kind = TPropKind::String;
      p->getString = [getter](const TObject& o) -> std::string { return detail::Get(o, getter); };
      p->setString = [setter](TObject& o, std::string_view v) { detail::Set(o, setter, A(v)); };
    } else if constexpr (std::is_same_v<V, TStringList>) {
      p->kind = TPropKind::Strings;
      p->getStrings = [getter](const TObject& o) -> TStringList { return detail::Get(o, getter); };
      p->setStrings = [setter](TObject& o, const TStringList& v) { detail::Set(o, setter, v); };
    } else if constexpr (detail::IsStdFunction<V>::value) {
      p->kind = TPropKind::Event;
      p->eventType = typeid(V);
      p->isAssigned = [getter](const TObject& o) { return static_cast<bool>(detail::Get(o, getter)); };
      p->setEvent = [setter](TObject& o, const std::any& v) {
        detail::Set(o, setter, v.has_value() ? std::any_cast<const V&>(v) : V());
      };
    } else if constexpr (std::is_pointer_v<V> &&
                         std::is_base_of_v<TComponent, std::remove_pointer_t<V>>) {
      using P = std::remove_pointer_t<V>;
      p->kind = TPropKind::Component;
      p->componentClass = &P::StaticClassInfo();
      p->getComponent = [getter](const TObject& o) -> TComponent* { return detail::Get(o, getter); };
      p->setComponent = [setter, cls = p->componentClass](TObject& o, TComponent* c) {
        P* typed = c ? dynamic_cast<P*>(c) : nullptr;
        if (c && !typed) RaiseWrongComponentClass(*c, *cls);
        detail::Set(o, setter, typed);
      };
    } else {
      static_assert(sizeof(V) == 0, "unsupported property type");
    }
    info_.AddProperty(std::move(p));
    return *this;
  }

  // A nested object (Font) or collection (Columns) the instance keeps; its getter returns a
  // pointer or reference to it, and definitions set its own properties (Font.Size = 9).
  template <class G>
  TClassBuilder& Property(std::string name, G getter) {
    using R = typename detail::GetterTraits<G>::Result;
    using P = std::remove_cvref_t<std::remove_pointer_t<R>>;
    static_assert(std::is_base_of_v<TPersistent, P> && !std::is_base_of_v<TComponent, P>,
                  "a property without setter must be a nested persistent object");
    auto p = std::make_unique<TPropInfo>();
    p->name = std::move(name);
    p->kind = std::is_base_of_v<TCollection, P> ? TPropKind::Collection : TPropKind::Object;
    p->getObject = [getter](TObject& o) -> TPersistent* {
      if constexpr (std::is_pointer_v<R>) return detail::Get(o, getter);
      else return &detail::Get(o, getter);
    };
    info_.AddProperty(std::move(p));
    return *this;
  }

  // Bytes (a picture): definitions give inline hexadecimal or an embedded resource's name.
  template <class G, class S>
  TClassBuilder& Binary(std::string name, G getter, S setter) {
    using A = typename detail::SetterTraits<S>::Arg;
    auto p = std::make_unique<TPropInfo>();
    p->name = std::move(name);
    p->kind = TPropKind::Binary;
    p->getString = [getter](const TObject& o) -> std::string { return std::string(detail::Get(o, getter)); };
    p->setString = [setter](TObject& o, std::string_view v) { detail::Set(o, setter, A(v)); };
    info_.AddProperty(std::move(p));
    return *this;
  }

  // An event handler that definitions name (OnClick = btnAceptarClick). It binds to events
  // whose std::function has exactly the method's signature.
  template <class M>
  TClassBuilder& Handler(std::string name, M method) {
    using Traits = detail::MethodTraits<M>;
    static_assert(std::is_base_of_v<typename Traits::Class, T>);
    auto h = std::make_unique<THandlerInfo>();
    h->name = std::move(name);
    h->type = typeid(typename Traits::Function);
    h->bind = [method](TObject& instance) -> std::any {
      return Traits::Bind(static_cast<T&>(instance), method);
    };
    info_.AddHandler(std::move(h));
    return *this;
  }

  TClassInfo Build() { return std::move(info_); }

 private:
  TClassInfo info_;
};

}  // namespace qx
