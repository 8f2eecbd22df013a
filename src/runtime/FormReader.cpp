// Reading form definitions into components: creation through the class registry, property
// values by kind, handler binding, reference fix-ups, then Loaded() and Created() in order.
#include "runtime/FormReader.h"

#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <mutex>
#include <shared_mutex>

#include "runtime/Format.h"
#include "runtime/FormParser.h"
#include "runtime/Resources.h"

namespace qx {
namespace {

using formdef::ObjectDef;
using formdef::Property;
using formdef::Value;

constexpr const char* kReadErrorAt = "%s(%d): %s";
constexpr const char* kReadError = "%s: %s";
constexpr const char* kDefinitionMissing = "the form definition resource is missing";
constexpr const char* kAlreadyCreated = "Component '%s' has already been created.";
constexpr const char* kWrongRoot = "the definition is for %s, not %s";
constexpr const char* kUnknownClass = "unknown class '%s'";
constexpr const char* kUnknownProperty = "unknown property '%s' of %s";
constexpr const char* kNotAnObject = "property '%s' of %s has no properties of its own";
constexpr const char* kObjectValue = "property '%s' of %s is an object: set its own properties, as in %s.Name = value";
constexpr const char* kExpects = "property '%s' of %s expects %s";
constexpr const char* kOutOfRange = "value %s is out of range for property '%s' of %s";
constexpr const char* kUnknownValue = "unknown value '%s' of %s";
constexpr const char* kUnknownColor = "unknown colour '%s'";
constexpr const char* kUnknownResource = "unknown resource '%s'";
constexpr const char* kUnknownHandler = "unknown handler '%s' of %s";
constexpr const char* kHandlerMismatch = "handler '%s' does not fit the event '%s' of %s";
constexpr const char* kUnknownComponent = "unknown component '%s'";
constexpr const char* kUnknownChild = "unknown component '%s' in %s";
constexpr const char* kChildClass = "component '%s' is a %s, not a %s";
constexpr const char* kCollectionTwice = "collection '%s' of %s is given twice";

// What a property of each kind accepts, for error messages.
std::string Expectation(const TPropInfo& p) {
  switch (p.kind) {
    case TPropKind::Integer: return "an integer";
    case TPropKind::Float: return "a number";
    case TPropKind::Boolean: return "True or False";
    case TPropKind::String: return "a quoted string";
    case TPropKind::Enum: return "a value of " + p.enumInfo->Name();
    case TPropKind::Set: return "a set of " + p.enumInfo->Name() + " values in brackets";
    case TPropKind::Color: return "a colour identifier or number";
    case TPropKind::Strings: return "a list of strings in parentheses";
    case TPropKind::Binary: return "binary data: {hex digits} or resource 'name'";
    case TPropKind::Object: return "the values of its own properties";
    case TPropKind::Collection: return "a collection of items in < >";
    case TPropKind::Component: return "a component name";
    case TPropKind::Event: return "a handler name";
  }
  return {};
}

bool IsNil(const Value& v) { return v.kind == Value::Kind::Ident && SameText(v.text, "nil"); }

// Parsed definitions of embedded resources, kept for the life of the process: resources never
// change, and every session creates the same screens again.
class DefinitionCache {
 public:
  std::shared_ptr<const ObjectDef> Get(const std::string& resourceName) {
    {
      std::shared_lock guard(lock_);
      auto it = parsed_.find(resourceName);
      if (it != parsed_.end()) return it->second;
    }
    std::optional<std::string_view> text = FindResource(resourceName);
    if (!text) throw EFormReadError(resourceName, 0, kDefinitionMissing);
    auto def = std::make_shared<const ObjectDef>(formdef::ParseDefinition(resourceName, *text));
    std::unique_lock guard(lock_);
    return parsed_.try_emplace(resourceName, std::move(def)).first->second;
  }

 private:
  std::shared_mutex lock_;  // guards parsed_
  std::map<std::string, std::shared_ptr<const ObjectDef>, TextLess> parsed_;
};

DefinitionCache& TheDefinitionCache() {
  static DefinitionCache cache;
  return cache;
}

// A component reference, resolved once every component of the creation exists.
struct Fixup {
  TObject* target;
  const TPropInfo* property;
  std::string componentName;
  TComponent* root;
  std::string resourceName;
  int line;
};

// Everything one creation gathers while definitions (the component's and those of the frames
// it holds) are read.
struct LoadContext {
  std::vector<Fixup> fixups;
  std::vector<TComponent*> loaded;  // in reading order: a component before what it holds
  std::set<const TCollection*> filledCollections;
};

// The component a dotted name leads to, starting at the definition's root, its components,
// or the session's modules; nullptr when there is none.
TComponent* ResolveComponent(TComponent& root, std::string_view dotted) {
  std::size_t dot = dotted.find('.');
  std::string_view first = dotted.substr(0, dot);
  TComponent* c = SameText(root.Name(), first) ? &root : root.FindComponent(first);
  if (!c) c = FindGlobalComponent(first);
  while (c && dot != std::string_view::npos) {
    std::size_t next = dotted.find('.', dot + 1);
    c = c->FindComponent(dotted.substr(dot + 1, next == std::string_view::npos ? next : next - dot - 1));
    dot = next;
  }
  return c;
}

std::string UniqueName(const TComponent* owner, const std::string& base) {
  if (!owner || !owner->FindComponent(base)) return base;
  for (int i = 1;; ++i) {
    std::string name = base + "_" + std::to_string(i);
    if (!owner->FindComponent(name)) return name;
  }
}

bool ClassIsA(const TClassInfo& cls, std::string_view name) {
  for (const TClassInfo* c = &cls; c; c = c->Parent())
    if (SameText(c->Name(), name)) return true;
  return false;
}

// Reads one definition into its root; frames it creates read theirs with their own Reader.
class Reader {
 public:
  Reader(LoadContext& context, std::string resourceName, TComponent& root)
      : context_(context), resourceName_(std::move(resourceName)), root_(root) {}

  void ReadRoot(const ObjectDef& def, bool takeName) {
    if (def.inherited || !SameText(def.className, root_.ClassName()))
      Fail(def.line, Format(kWrongRoot, {def.className, root_.ClassName()}));
    if (takeName) Guard(def.line, [&] { root_.SetName(UniqueName(root_.Owner(), def.name)); });
    ApplyBlock(root_, def);
  }

  // Reads the definition resource of a component being created.
  static void ReadResource(LoadContext& context, TComponent& root, const std::string& resourceName,
                           bool takeName) {
    std::shared_ptr<const ObjectDef> def = TheDefinitionCache().Get(resourceName);
    Reader(context, resourceName, root).ReadRoot(*def, takeName);
  }

 private:
  [[noreturn]] void Fail(int line, std::string_view detail) const {
    throw EFormReadError(resourceName_, line, detail);
  }

  // Runs a step, reporting any failure other than a read error at the given line.
  template <class F>
  void Guard(int line, F&& step) {
    try {
      step();
    } catch (const EFormReadError&) {
      throw;
    } catch (const std::exception& e) {
      Fail(line, e.what());
    }
  }

  void ApplyBlock(TComponent& component, const ObjectDef& def) {
    for (const Property& p : def.properties) ApplyProperty(component, p);
    for (const ObjectDef& child : def.children) {
      if (child.inherited) ApplyInherited(component, child);
      else CreateChild(component, child);
    }
  }

  void CreateChild(TComponent& parent, const ObjectDef& def) {
    const TClassInfo* cls = FindClass(def.className);
    if (!cls) Fail(def.line, Format(kUnknownClass, {def.className}));
    TComponent* child = nullptr;
    Guard(def.line, [&] {
      Owned<TComponent> instance = cls->NewInstance();
      TComponentLifecycle::BeginLoading(*instance);
      child = &root_.InsertComponent(std::move(instance));
      child->SetName(def.name);
      child->SetParentComponent(&parent);
    });
    context_.loaded.push_back(child);
    if (!cls->Definition().empty())
      ReadResource(context_, *child, cls->Definition(), /*takeName=*/false);
    ApplyBlock(*child, def);
  }

  // "inherited X" inside the block of C names X owned by C, or by C's owner and so on up to
  // (not including) this definition's root: inside a frame's block, "inherited regHeader"
  // and within it "inherited lblUser" both name components the frame owns.
  void ApplyInherited(TComponent& holder, const ObjectDef& def) {
    TComponent* existing = holder.FindComponent(def.name);
    for (TComponent* c = holder.Owner(); !existing && &holder != &root_ && c && c != &root_;
         c = c->Owner())
      existing = c->FindComponent(def.name);
    if (!existing) Fail(def.line, Format(kUnknownChild, {def.name, holder.Name()}));
    if (!ClassIsA(existing->ClassInfo(), def.className))
      Fail(def.line, Format(kChildClass, {def.name, existing->ClassName(), def.className}));
    ApplyBlock(*existing, def);
  }

  void ApplyProperty(TObject& object, const Property& p) {
    TObject* target = &object;
    std::string_view path = p.path;
    for (std::size_t dot; (dot = path.find('.')) != std::string_view::npos;
         path = path.substr(dot + 1)) {
      std::string_view part = path.substr(0, dot);
      const TPropInfo* nested = FindProperty(*target, part, p.line);
      if (nested->kind != TPropKind::Object && nested->kind != TPropKind::Collection)
        Fail(p.line, Format(kNotAnObject, {part, target->ClassName()}));
      target = nested->getObject(*target);
    }
    const TPropInfo* property = FindProperty(*target, path, p.line);
    Guard(p.line, [&] { SetValue(*target, *property, p.value); });
  }

  const TPropInfo* FindProperty(const TObject& object, std::string_view name, int line) const {
    const TPropInfo* p = object.ClassInfo().FindProperty(name);
    if (!p) Fail(line, Format(kUnknownProperty, {name, object.ClassName()}));
    return p;
  }

  [[noreturn]] void Mismatch(const TObject& target, const TPropInfo& p, const Value& v) const {
    if (p.kind == TPropKind::Object)
      Fail(v.line, Format(kObjectValue, {p.name, target.ClassName(), p.name}));
    Fail(v.line, Format(kExpects, {p.name, target.ClassName(), Expectation(p)}));
  }

  int EnumValue(const TEnumInfo& info, const std::string& name, int line) const {
    std::optional<int> value = info.ValueOf(name);
    if (!value) Fail(line, Format(kUnknownValue, {name, info.Name()}));
    return *value;
  }

  void SetValue(TObject& target, const TPropInfo& p, const Value& v) {
    using K = Value::Kind;
    switch (p.kind) {
      case TPropKind::Integer:
        if (v.kind != K::Integer) Mismatch(target, p, v);
        if (v.integer < p.minValue || v.integer > p.maxValue)
          Fail(v.line, Format(kOutOfRange, {IntToStr(v.integer), p.name, target.ClassName()}));
        p.setOrdinal(target, v.integer);
        return;
      case TPropKind::Float:
        if (v.kind == K::Integer) p.setFloat(target, static_cast<double>(v.integer));
        else if (v.kind == K::Float) p.setFloat(target, v.number);
        else Mismatch(target, p, v);
        return;
      case TPropKind::Boolean:
        if (v.kind == K::Ident && SameText(v.text, "True")) p.setOrdinal(target, 1);
        else if (v.kind == K::Ident && SameText(v.text, "False")) p.setOrdinal(target, 0);
        else Mismatch(target, p, v);
        return;
      case TPropKind::String:
        if (v.kind != K::String) Mismatch(target, p, v);
        p.setString(target, v.text);
        return;
      case TPropKind::Enum:
        if (v.kind != K::Ident) Mismatch(target, p, v);
        p.setOrdinal(target, EnumValue(*p.enumInfo, v.text, v.line));
        return;
      case TPropKind::Set: {
        if (v.kind != K::Set) Mismatch(target, p, v);
        std::uint64_t bits = 0;
        for (const std::string& name : v.names) {
          int value = EnumValue(*p.enumInfo, name, v.line);
          // A set holds values 0..63 only (TSet); others cannot be members.
          if (value < 0 || value > 63) Fail(v.line, Format(kUnknownValue, {name, p.enumInfo->Name()}));
          bits |= std::uint64_t{1} << value;
        }
        p.setOrdinal(target, static_cast<std::int64_t>(bits));
        return;
      }
      case TPropKind::Color:
        if (v.kind == K::Ident) {
          std::optional<TColor> color = IdentToColor(v.text);
          if (!color) Fail(v.line, Format(kUnknownColor, {v.text}));
          p.setOrdinal(target, ColorValue(*color));
        } else if (v.kind == K::Integer) {
          // $FF00000F (a system colour) is written as an unsigned 32-bit number.
          if (v.integer < INT32_MIN || v.integer > static_cast<std::int64_t>(UINT32_MAX))
            Fail(v.line, Format(kOutOfRange, {IntToStr(v.integer), p.name, target.ClassName()}));
          p.setOrdinal(target, static_cast<std::int32_t>(static_cast<std::uint32_t>(v.integer)));
        } else {
          Mismatch(target, p, v);
        }
        return;
      case TPropKind::Strings: {
        if (v.kind != K::List) Mismatch(target, p, v);
        TStringList lines;
        for (const std::string& line : v.names) lines.Add(line);
        p.setStrings(target, lines);
        return;
      }
      case TPropKind::Binary:
        if (v.kind == K::Binary) {
          p.setString(target, v.text);
        } else if (v.kind == K::Resource) {
          std::optional<std::string_view> bytes = FindResource(v.text);
          if (!bytes) Fail(v.line, Format(kUnknownResource, {v.text}));
          p.setString(target, *bytes);
        } else {
          Mismatch(target, p, v);
        }
        return;
      case TPropKind::Object: Mismatch(target, p, v);
      case TPropKind::Collection: {
        if (v.kind != K::Items) Mismatch(target, p, v);
        auto* collection = static_cast<TCollection*>(p.getObject(target));
        // Items made earlier in this creation may be targets of pending fix-ups.
        if (!context_.filledCollections.insert(collection).second)
          Fail(v.line, Format(kCollectionTwice, {p.name, target.ClassName()}));
        collection->Clear();
        for (const std::vector<Property>& item : v.items) {
          TCollectionItem& added = collection->Add();
          for (const Property& ip : item) ApplyProperty(added, ip);
        }
        return;
      }
      case TPropKind::Component:
        if (v.kind != K::Ident) Mismatch(target, p, v);
        if (IsNil(v)) p.setComponent(target, nullptr);
        else context_.fixups.push_back({&target, &p, v.text, &root_, resourceName_, v.line});
        return;
      case TPropKind::Event: {
        if (v.kind != K::Ident || v.text.find('.') != std::string::npos) Mismatch(target, p, v);
        if (IsNil(v)) {
          p.setEvent(target, std::any());
          return;
        }
        const THandlerInfo* handler = root_.ClassInfo().FindHandler(v.text);
        if (!handler) Fail(v.line, Format(kUnknownHandler, {v.text, root_.ClassName()}));
        if (handler->type != p.eventType)
          Fail(v.line, Format(kHandlerMismatch, {v.text, p.name, target.ClassName()}));
        p.setEvent(target, handler->bind(root_));
        return;
      }
    }
  }

  LoadContext& context_;
  std::string resourceName_;
  TComponent& root_;
};

// Resolves the references, then runs Loaded() and Created() for everything the creation made.
void FinishLoading(LoadContext& context) {
  for (const Fixup& f : context.fixups) {
    TComponent* c = ResolveComponent(*f.root, f.componentName);
    if (!c) throw EFormReadError(f.resourceName, f.line, Format(kUnknownComponent, {f.componentName}));
    try {
      f.property->setComponent(*f.target, c);
    } catch (const std::exception& e) {
      throw EFormReadError(f.resourceName, f.line, e.what());
    }
  }
  for (TComponent* c : context.loaded) TComponentLifecycle::FinishLoading(*c);
  // Held components first, the created component itself last: its OnCreate sees them done.
  for (auto it = context.loaded.rbegin(); it != context.loaded.rend(); ++it)
    TComponentLifecycle::FinishCreation(**it);
}

void Initialize(TComponent& component) {
  if (TComponentLifecycle::IsCreated(component))
    throw EComponentError(Format(kAlreadyCreated, {component.Name()}));
  LoadContext context;
  TComponentLifecycle::BeginLoading(component);
  context.loaded.push_back(&component);
  const std::string& definition = component.ClassInfo().Definition();
  if (!definition.empty())
    Reader::ReadResource(context, component, definition, component.Name().empty());
  FinishLoading(context);
}

}  // namespace

EFormReadError::EFormReadError(std::string resourceName, int line, std::string_view detail)
    : Exception(line > 0 ? Format(kReadErrorAt, {resourceName, line, detail})
                         : Format(kReadError, {resourceName, detail})),
      resourceName_(std::move(resourceName)),
      line_(line),
      detail_(detail) {}

TComponent& CreateComponent(TComponent& owner, Owned<TComponent> instance) {
  TComponent& component = owner.InsertComponent(std::move(instance));
  try {
    Initialize(component);
  } catch (...) {
    owner.RemoveComponent(component).reset();
    throw;
  }
  return component;
}

TComponent& CreateComponent(const TClassInfo& cls, TComponent& owner) {
  return CreateComponent(owner, cls.NewInstance());
}

Owned<TComponent> CreateComponent(Owned<TComponent> instance) {
  Initialize(*instance);
  return instance;
}

void ReadComponentDefinition(TComponent& root, std::string_view resourceName, std::string_view text) {
  if (TComponentLifecycle::IsCreated(root))
    throw EComponentError(Format(kAlreadyCreated, {root.Name()}));
  std::string name(resourceName);
  ObjectDef def = formdef::ParseDefinition(name, text);
  LoadContext context;
  TComponentLifecycle::BeginLoading(root);
  context.loaded.push_back(&root);
  Reader(context, name, root).ReadRoot(def, root.Name().empty());
  FinishLoading(context);
}

}  // namespace qx
