// Components: ownership and freeing, names, notifications, references that clear themselves,
// parent/child links of controls, and the per-session module registry hook.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestComponents.h"
#include "runtime/FormReader.h"

using namespace qx;
using namespace qx::test;

namespace {

int g_alive = 0;

// Counts live instances so that tests see exactly what was freed.
class TCounted : public TComponent {
 public:
  TCounted() { ++g_alive; }
  ~TCounted() override { --g_alive; }
};

// An owner that keeps a list of what it owns through its notifications, as the application
// object keeps its Forms list.
class TListOwner : public TComponent {
 public:
  std::vector<TComponent*> owned;
  std::vector<std::string> log;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    log.push_back((op == opInsert ? "insert:" : "remove:") + c->Name());
    if (op == opInsert) owned.push_back(c);
    else owned.erase(std::find(owned.begin(), owned.end(), c));
  }
};

// A module that registers with the session on creation, as forms and data modules do.
class TModule : public TComponent {
 public:
  TModule() { RegisterModule(); }
};

class RecordingRegistry : public IModuleRegistry {
 public:
  std::vector<TComponent*> modules;
  void RegisterModule(TComponent& m) override { modules.push_back(&m); }
  void UnregisterModule(TComponent& m) noexcept override {
    modules.erase(std::find(modules.begin(), modules.end(), &m));
  }
  TComponent* FindModule(std::string_view name) override {
    for (TComponent* m : modules)
      if (SameText(m->Name(), name)) return m;
    return nullptr;
  }
};

template <class T>
T& Add(TComponent& owner, std::string_view name) {
  T& c = owner.InsertComponent(Owned<T>(new T));
  c.SetName(name);
  return c;
}

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestComponents();
    g_alive = 0;
  }
};

}  // namespace

TEST_F(ComponentTest, FreeingAnOwnerFreesEverythingItOwnsDepthFirst) {
  {
    Owned<TCounted> root(new TCounted);
    TCounted& a = Add<TCounted>(*root, "A");
    Add<TCounted>(a, "A1");
    Add<TCounted>(a, "A2");
    Add<TCounted>(*root, "B");
    EXPECT_EQ(g_alive, 5);
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(a.Owner(), root.get());
  }
  EXPECT_EQ(g_alive, 0);
}

TEST_F(ComponentTest, RemovedComponentIsHandedBackAndOwnerIsNotified) {
  Owned<TListOwner> owner(new TListOwner);
  TCounted& a = Add<TCounted>(*owner, "A");
  Add<TCounted>(*owner, "B");
  ASSERT_EQ(owner->owned.size(), 2u);

  Owned<TComponent> taken = owner->RemoveComponent(a);
  EXPECT_EQ(taken.get(), &a);
  EXPECT_EQ(a.Owner(), nullptr);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->owned.size(), 1u);
  EXPECT_EQ(g_alive, 2);  // still alive: the caller owns it now
  taken.reset();
  EXPECT_EQ(g_alive, 1);

  // Freeing the owner notifies the removal of what is left.
  owner.reset();
  EXPECT_EQ(g_alive, 0);
}

TEST_F(ComponentTest, FreeRemovesTheComponentFromItsOwner) {
  Owned<TListOwner> owner(new TListOwner);
  TCounted& a = Add<TCounted>(*owner, "A");
  a.Free();
  EXPECT_EQ(g_alive, 0);
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_EQ(owner->log, (std::vector<std::string>{"insert:", "remove:A"}));
}

TEST_F(ComponentTest, MisuseOfOwnershipFailsWithoutLosingAnything) {
  Owned<TCounted> root(new TCounted);
  root->SetName("Root");
  TCounted& a = Add<TCounted>(*root, "A");
  Owned<TCounted> stranger(new TCounted);

  EXPECT_THROW(root->Free(), EComponentError);  // has no owner
  EXPECT_THROW(root->RemoveComponent(*stranger), EComponentError);
  try {
    a.InsertComponent(std::move(root));  // would own its own owner
    FAIL() << "cycle accepted";
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "Component 'Root' cannot own itself or one of its owners.");
  }
  // The failed insertion freed the handle it was given; nothing dangles, ASan watches.
  EXPECT_EQ(g_alive, 1);
}

TEST_F(ComponentTest, NamesAreIdentifiersUniqueWithinTheOwnerIgnoringCase) {
  Owned<TCounted> root(new TCounted);
  TCounted& a = Add<TCounted>(*root, "btnAceptar");
  TCounted& b = Add<TCounted>(*root, "lblUser");

  EXPECT_EQ(root->FindComponent("BTNACEPTAR"), &a);
  EXPECT_EQ(root->FindComponent("lbluser"), &b);
  EXPECT_EQ(root->FindComponent("missing"), nullptr);
  EXPECT_EQ(root->FindComponent(""), nullptr);

  try {
    b.SetName("BtnAceptar");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "A component named BtnAceptar already exists.");
  }
  EXPECT_EQ(b.Name(), "lblUser");
  try {
    b.SetName("1st label");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_STREQ(e.what(), "\"1st label\" is not a valid component name.");
  }
  a.SetName("BTNACEPTAR");  // renaming itself with another letter case is fine
  EXPECT_EQ(a.Name(), "BTNACEPTAR");

  // Inserting a component whose name is taken fails and frees it.
  Owned<TCounted> dup(new TCounted);
  dup->SetName("LBLUSER");
  EXPECT_THROW(root->InsertComponent(std::move(dup)), EComponentError);
  EXPECT_EQ(g_alive, 3);
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_THROW(root->Components(2), EListError);
}

TEST_F(ComponentTest, ReferencesClearWhenTheirTargetIsFreedAndTheHolderIsTold) {
  Owned<TTestForm> form(new TTestForm);
  TTestLabel& label = Add<TTestLabel>(*form, "lblName");
  TTestButton& button = Add<TTestButton>(*form, "btnOk");
  label.SetFocusControl(&button);
  form->SetActiveControl(&button);
  TComponentRef<TControl> loose;  // no holder
  loose = &button;
  ASSERT_EQ(label.FocusControl(), &button);

  button.Free();
  EXPECT_EQ(label.FocusControl(), nullptr);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  EXPECT_FALSE(loose);
  EXPECT_EQ(label.RemovedNotifications(), 1);

  // A reference that dies before its target unlinks itself; freeing the target later is safe.
  TTestLabel& other = Add<TTestLabel>(*form, "lblOther");
  {
    TComponentRef<TControl> shortLived;
    shortLived = &other;
    TComponentRef<TControl> copy = shortLived;
    EXPECT_EQ(copy.Get(), &other);
  }
  other.Free();
}

TEST_F(ComponentTest, DestructionRunsBeforeDestructionWhileEverythingIsAlive) {
  LifecycleLog().clear();
  Owned<TTestForm> form(new TTestForm);
  form->SetName("frmMain");
  TTestLabel& label = Add<TTestLabel>(*form, "lblName");
  form->SetActiveControl(&label);
  form.reset();
  EXPECT_EQ(LifecycleLog(), (std::vector<std::string>{"Destroy:frmMain with owned"}));
}

TEST_F(ComponentTest, ControlsKeepTheirParentsChildrenInCreationOrder) {
  Owned<TTestForm> form(new TTestForm);
  TTestRegion& region = Add<TTestRegion>(*form, "region");
  TTestLabel& a = Add<TTestLabel>(*form, "a");
  TTestLabel& b = Add<TTestLabel>(*form, "b");
  region.SetParent(form.get());
  b.SetParent(&region);
  a.SetParent(&region);
  ASSERT_EQ(region.ControlCount(), 2);
  EXPECT_EQ(region.Controls(0), &b);
  EXPECT_EQ(region.Controls(1), &a);

  b.SetParent(form.get());
  EXPECT_EQ(region.ControlCount(), 1);
  EXPECT_EQ(form->ControlCount(), 2);

  EXPECT_THROW(region.SetParent(&region), EComponentError);
  EXPECT_THROW(a.SetParentComponent(&b), EComponentError);  // a label holds no controls

  // Freeing a container leaves its children (owned by the form) without a parent.
  region.Free();
  EXPECT_EQ(a.Parent(), nullptr);
  // Freeing a child takes it out of its parent.
  b.Free();
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(ComponentTest, ModulesRegisterWithTheSessionAndAreFoundByName) {
  EXPECT_EQ(FindGlobalComponent("usSesion"), nullptr);  // no registry installed
  RecordingRegistry registry;
  SetModuleRegistry(&registry);
  {
    Owned<TCounted> app(new TCounted);
    TModule& data = Add<TModule>(*app, "usSesion");
    Add<TCounted>(*app, "notAModule");
    EXPECT_EQ(registry.modules.size(), 1u);
    EXPECT_EQ(FindGlobalComponent("USSESION"), &data);
    EXPECT_EQ(FindGlobalComponent("notAModule"), nullptr);
  }
  EXPECT_TRUE(registry.modules.empty());
  SetModuleRegistry(nullptr);
}
