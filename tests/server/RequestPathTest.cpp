// The dispatcher's URL scheme: path splitting with mode segments, page-access names and the
// command table in its checking order.
#include "server/RequestPath.h"

#include <gtest/gtest.h>

#include "ServerFixture.h"
#include "runtime/ClassInfo.h"

namespace qx {

// Stand-ins for forms, known to this layer only by the class registry: an application form
// class and the page classes derived from it.
class TIWAppForm : public TComponent {
  QX_CLASS(TIWAppForm, TComponent)

 public:
  bool AllowPageAccess() const noexcept { return allow_; }
  void SetAllowPageAccess(bool allow) noexcept { allow_ = allow; }

 protected:
  TIWAppForm() = default;
  bool allow_ = true;
};

const TClassInfo& TIWAppForm::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TIWAppForm>("TIWAppForm")
          .Property("AllowPageAccess", &TIWAppForm::AllowPageAccess, &TIWAppForm::SetAllowPageAccess)
          .Build();
  return info;
}

namespace {

class TOrders : public TIWAppForm {
  QX_CLASS(TOrders, TIWAppForm)
};
class TClosedPage : public TIWAppForm {
  QX_CLASS(TClosedPage, TIWAppForm)

 public:
  TClosedPage() { allow_ = false; }
};
class TPlainThing : public TComponent {
  QX_CLASS(TPlainThing, TComponent)
};

}  // namespace

const TClassInfo& TOrders::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TOrders>("TOrders").Creatable().Build();
  return info;
}
const TClassInfo& TClosedPage::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TClosedPage>("TClosedPage").Creatable().Build();
  return info;
}
const TClassInfo& TPlainThing::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPlainThing>("TPlainThing").Creatable().Build();
  return info;
}

namespace {

TEST(RequestPath, CommandRestAndModes) {
  struct Case {
    const char* pathInfo;
    const char* command;
    const char* mode;
    const char* rest;
  } cases[] = {
      {"", "", "", ""},
      {"/", "", "", ""},
      {"/exec", "EXEC", "", ""},
      {"/EXEC/3/abc", "EXEC", "", "3/abc"},
      {"/../STOP/1/abc", "STOP", "", "1/abc"},
      {"/32/EXEC/1", "EXEC", kModeHTML32, "1"},
      {"/wml", "", kModeWML, ""},
      {"/XHTMLMP/", "", kModeXHTMLMP, ""},
      {"/files/a/b.htm", "FILES", "", "a/b.htm"},
  };
  for (const Case& c : cases) {
    TIWRequestPath path = SplitRequestPath(c.pathInfo);
    EXPECT_EQ(path.Command, c.command) << c.pathInfo;
    EXPECT_EQ(path.Mode, c.mode) << c.pathInfo;
    EXPECT_EQ(path.Rest, c.rest) << c.pathInfo;
  }
  std::string rest = "3/abc/x";
  EXPECT_EQ(SplitSegment(rest), "3");
  EXPECT_EQ(rest, "abc/x");
  rest = "last";
  EXPECT_EQ(SplitSegment(rest), "last");
  EXPECT_EQ(rest, "");
}

TEST(RequestPath, PageAccessNamesARegisteredFormThatAllowsIt) {
  RegisterClasses<TOrders, TClosedPage, TPlainThing>();
  EXPECT_EQ(PageAccessClass("Orders.html"), &TOrders::StaticClassInfo());
  EXPECT_EQ(PageAccessClass("TORDERS.IWP"), &TOrders::StaticClassInfo());
  EXPECT_EQ(PageAccessClass("orders.htm"), nullptr);
  EXPECT_EQ(PageAccessClass("orders"), nullptr);
  EXPECT_EQ(PageAccessClass("ClosedPage.html"), nullptr);
  EXPECT_EQ(PageAccessClass("PlainThing.html"), nullptr);
  EXPECT_EQ(PageAccessClass("Missing.html"), nullptr);
}

class CommandTable : public test::ServerTest {};

TEST_F(CommandTable, EveryCommandHasItsKind) {
  Controller().SetSessionTrackingMethod(tmHidden);
  struct Case {
    const char* command;
    TIWCommandKind kind;
  } cases[] = {
      {"", ckStart},           {"EXEC", ckExecute},          {"UPDATE", ckPartialUpdate},
      {"CALLBACK", ckCallback}, {"UPLOAD", ckUpload},         {"RESIZE", ckResize},
      {"CALL", ckCall},        {"STOP", ckStop},             {"PING", ckPing},
      {"FILES", ckFiles},      {"FILESNC", ckFilesNotCacheable}, {"CACHE", ckCacheFile},
      {"GFX", ckInternalGraphic}, {"JS", ckInternalScript},  {"JAVASCRIPT", ckInternalScript},
      {"CSS", ckInternalStyle}, {"FAVICON.ICO", ckFavicon},  {"FOO", ckUnknown},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandKindOf(c.command, false, Controller()), c.kind) << c.command;
  // An empty command carrying a session is a post.
  EXPECT_EQ(CommandKindOf("", true, Controller()), ckExecute);
}

TEST_F(CommandTable, TheTableIsCheckedInItsOrder) {
  Controller().SetSessionTrackingMethod(tmHidden);
  // "STOP" comes before the execute command, the execute command before "CALLBACK".
  Controller().SetExecCmd("STOP");
  EXPECT_EQ(CommandKindOf("STOP", false, Controller()), ckStop);
  Controller().SetExecCmd("CALLBACK");
  EXPECT_EQ(CommandKindOf("CALLBACK", false, Controller()), ckExecute);
  // The start command comes after "CALLBACK" and before "PING".
  Controller().SetExecCmd("EXEC");
  Controller().SetStartCmd("PING");
  EXPECT_EQ(CommandKindOf("PING", false, Controller()), ckStart);
  Controller().SetStartCmd("FILES");
  EXPECT_EQ(CommandKindOf("FILES", false, Controller()), ckFiles);
  // A session field makes an empty command a post before it can be the start command.
  Controller().SetStartCmd("");
  EXPECT_EQ(CommandKindOf("", true, Controller()), ckExecute);
}

TEST_F(CommandTable, ReEntryAndSessionFieldsDependOnTracking) {
  Controller().ReEntryOptions().Cmd = "RESIZE";
  Controller().SetSessionTrackingMethod(tmHidden);
  EXPECT_EQ(CommandKindOf("RESIZE", false, Controller()), ckResize);
  EXPECT_EQ(CommandKindOf("", true, Controller()), ckExecute);
  Controller().SetSessionTrackingMethod(tmURL);
  EXPECT_EQ(CommandKindOf("RESIZE", false, Controller()), ckReEntry);
  EXPECT_EQ(CommandKindOf("", true, Controller()), ckStart);
}

}  // namespace
}  // namespace qx
