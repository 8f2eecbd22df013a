// The application object: its AppID and cache folder, the form stack, one post (Execute),
// messages in their styles, termination and the final pages, page preparation, callbacks,
// stale pages, the session's module registry, and what freeing a session frees.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FakeRequest.h"
#include "FormsFixture.h"
#include "entry/HTTPFile.h"
#include "forms/ShowMessage.h"
#include "runtime/Files.h"

namespace qx::test {
namespace {

namespace fs = std::filesystem;

TEST(AppID, FourBase36GroupsOfSevenCharacters) {
  TGUID guid{0xFFFFFFFFu, 1, 2, {0x01, 0x02, 0x03, 0x04, 0xA1, 0xB2, 0xC3, 0xD4}};
  EXPECT_EQ(AppIDFromGUID(guid), "1z141z3" "0001eki" "00a2f44" "18v5qdw");
  EXPECT_EQ(AppIDFromGUID(TGUID{}), "0000000000000000000000000000");
  const std::string made = AppIDFromGUID(CreateGUID());
  EXPECT_EQ(made.size(), 28u);
  EXPECT_EQ(made.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"), std::string::npos);
}

class ApplicationTest : public FormsFixture {
 protected:
  ApplicationTest() { StartSession(); }
  ~ApplicationTest() override { RegisterStartForm(rkHTML40, nullptr); }

  // One post of `fields` against the active form, through a request and response.
  void Post(const TStringList& fields = {}) {
    TFakeRequest request;
    TFakeResponse response(request);
    App().AttachRequest(request, response, nullptr);
    App().Execute(fields);
    App().DetachRequest();
  }
};

TEST_F(ApplicationTest, CreationMakesTheUserCacheFolderAndDestructionEmptiesAndRemovesIt) {
  const std::string folder = App().UserCacheDir();
  EXPECT_EQ(folder, Controller().CacheDir() + "user/" + App().AppID() + "/");
  EXPECT_TRUE(DirectoryExists(folder));
  for (const char* name : {"JPG12A.tmp", "picture.gif"}) std::ofstream(folder + name) << "x";
  EndSession();
  EXPECT_FALSE(DirectoryExists(folder));
}

TEST_F(ApplicationTest, OnlyFilesWithADotAfterTheirFirstCharacterAreDeleted) {
  const std::string folder = App().UserCacheDir();
  for (const char* name : {"a.b", "nodot", ".profile"}) std::ofstream(folder + name) << "x";
  EndSession();
  EXPECT_FALSE(FileExists(folder + "a.b"));
  EXPECT_TRUE(FileExists(folder + "nodot"));
  EXPECT_TRUE(FileExists(folder + ".profile"));
}

TEST_F(ApplicationTest, TheControllerMayGiveTheAppID) {
  Controller().SetOnGetSessionID([](TIWApplication&, std::string& id) { id = "mine"; });
  EXPECT_EQ(StartSession().AppID(), "mine");
  EXPECT_TRUE(DirectoryExists(Controller().CacheDir() + "user/mine/"));
}

TEST_F(ApplicationTest, AnUncreatableCacheFolderFailsTheStart) {
  const std::string blocker = dir_ / "blocker";
  std::ofstream(blocker) << "a file where the folder should go";
  Controller().SetCacheDir(blocker);
  Controller().SetOnGetSessionID([](TIWApplication&, std::string& id) { id = "abc"; });
  try {
    StartSession();
    FAIL() << "the start must fail";
  } catch (const EIWException& e) {
    EXPECT_EQ(std::string(e.what()), "MakeDirectory cannot create directory " + blocker + "/user/abc/");
  }
}

TEST_F(ApplicationTest, FreeingTheSessionFreesEverythingItOwnsAndCallsCloseSessionOnce) {
  int closed = 0;
  TIWApplication* session = &App();
  Controller().SetOnCloseSession([&](TIWApplication& closing) {
    ++closed;
    EXPECT_EQ(&closing, session);
    throw EIWException("close failed");  // must not stop the freeing
  });
  TTestScreen& first = NewScreen("frmOne");
  TComponentRef<TComponent> firstRef;
  firstRef = &first;
  TComponentRef<TComponent> second;
  second = &NewScreen("frmTwo");
  App().ShowMessage("Bye", smSameWindow, {});
  TComponentRef<TComponent> data;
  data = &CreateComponent<TTestScreen>(App());  // any component stands for the data module
  App().SetData(App().RemoveComponent(*data.Get()));
  second->Free();
  EXPECT_FALSE(second);
  const std::string appID = App().AppID();
  EndSession();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(firstRef);
  EXPECT_FALSE(data);
  // The failure leaves one line in the service's log, although logging is off.
  const std::string log = ReadFileBytes(dir_ / "RequestQX9.log").value_or("");
  EXPECT_TRUE(log.ends_with(" Closing session " + appID + ": EIWException: close failed\r\n")) << log;
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

TEST_F(ApplicationTest, ShowingTheTopFormDoesNotPushItAgainAndALowerFormIsPushedAgain) {
  TTestScreen& a = NewScreen("frmA");
  TTestScreen& b = NewScreen("frmB");
  b.Show();
  EXPECT_EQ(App().ActiveForms().size(), 2u);
  a.Show();
  EXPECT_EQ(App().ActiveForms(), (std::vector<TIWAppForm*>{&a, &b, &a}));
  EXPECT_EQ(App().ActiveForm(), &a);
  a.Hide();
  EXPECT_EQ(App().ActiveForms(), (std::vector<TIWAppForm*>{&b}));
  b.Hide();
  EXPECT_EQ(App().ActiveForm(), nullptr);
}

TEST_F(ApplicationTest, FormsThatAreNoApplicationFormsCannotBeShownHiddenOrReleased) {
  TIWForm& plain = CreateComponent<TIWForm>(App());
  try {
    plain.Show();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Cannot show non-app forms.");
  }
  try {
    plain.Hide();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Cannot release non-app forms.");
  }
  EXPECT_THROW(plain.Release(), EIWException);
  EXPECT_FALSE(plain.Released());
  EXPECT_TRUE(App().ActiveForms().empty());
}

TEST_F(ApplicationTest, ReleasingTheActiveFormInItsHandlerKeepsItUntilTheExecutionEnds) {
  TTestScreen& below = NewScreen("frmBelow");
  TTestScreen& top = NewScreen("frmTop");
  TComponentRef<TComponent> topRef;
  topRef = &top;
  top.onPost = [&](TTestScreen& self) {
    self.Release();
    EXPECT_TRUE(self.Released());
    // Still usable inside its own handler.
    self.SetTitle("still here");
    self.events.push_back("after release");
    EXPECT_EQ(App().ActiveForm(), &below);
  };
  Post({"IW_Action=BTNOK"});
  EXPECT_FALSE(topRef);
  EXPECT_EQ(App().ActiveForm(), &below);
  EXPECT_TRUE(App().ReleasedForms().empty());
  EXPECT_EQ(App().TrackID(), 1);
}

TEST_F(ApplicationTest, AReleaseDuringCreationHappensOnceCreationIsOver) {
  class TSelfReleasing : public TTestScreen {
   public:
    TSelfReleasing() {
      SetOnCreate([this](TObject*) {
        Release();
        EXPECT_FALSE(Released());
        EXPECT_TRUE(ReleaseRequested());
      });
    }
  };
  TSelfReleasing& form = CreateComponent<TSelfReleasing>(App());
  EXPECT_TRUE(form.Released());
  EXPECT_EQ(App().ReleasedForms(), (std::vector<TIWBaseForm*>{&form}));
}

TEST_F(ApplicationTest, ExecuteHandsThePostToTheActiveFormAndPreparesTheNextPage) {
  TTestScreen& form = NewScreen();
  Post({"IW_Action=X", App().AppID() + "0", "edtA=1"});
  ASSERT_EQ(form.posts.size(), 1u);
  EXPECT_EQ(form.posts[0].Lines(), (std::vector<std::string>{"IW_Action=X", "edtA=1"}));
  EXPECT_EQ(App().TrackID(), 1);
  EXPECT_EQ(App().FormAction(), "/RequestQX9/EXEC");
  // The marker is removed only when it is not the first line.
  Post({App().AppID() + "1", "b=2"});
  EXPECT_EQ(form.posts[1].Count(), 2);
}

TEST_F(ApplicationTest, APostThatLeavesNoFormEndsTheSession) {
  TTestScreen& form = NewScreen();
  form.onPost = [](TTestScreen& self) { self.Release(); };
  Post();
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(App().TerminateMessage(), "Application has terminated");
  EXPECT_EQ(App().TrackID(), 0);
  TMemoryStream out;
  App().Render(out);
  EXPECT_NE(std::string(out.Bytes()).find("<html><body>Application has terminated</body></html>"), std::string::npos);
}

TEST_F(ApplicationTest, AReplyWrittenByThePostKeepsTheTrackNumber) {
  TTestScreen& form = NewScreen();
  TFakeRequest request;
  TFakeResponse response(request);
  App().AttachRequest(request, response, nullptr);
  form.onPost = [&](TTestScreen&) { response.SetContent("own reply"); };
  App().Execute({});
  App().DetachRequest();
  EXPECT_EQ(App().TrackID(), 0);
}

TEST_F(ApplicationTest, FailuresOfThePostBecomeAMessageUnlessTheControllerHandlesThem) {
  TTestScreen& form = NewScreen();
  form.onPost = [](TTestScreen&) { throw EIWException("Bad \"value\""); };
  Post();
  EXPECT_EQ(form.ExtraInitScript(), "window.alert(\"Bad \\\"value\\\"\");\r\n");
  EXPECT_EQ(App().TrackID(), 1);

  form.ClearExtraInitScript();
  std::string seen;
  Controller().SetOnException([&](TIWApplication* app, const std::exception& e, bool& handled) {
    EXPECT_EQ(app, &App());
    seen = e.what();
    handled = true;
  });
  Post();
  EXPECT_EQ(seen, "Bad \"value\"");
  EXPECT_EQ(form.ExtraInitScript(), "");

  form.onPost = [](TTestScreen&) { Abort(); };
  Post();
  EXPECT_EQ(form.ExtraInitScript(), "");
  EXPECT_EQ(App().TrackID(), 3);
}

TEST_F(ApplicationTest, AFailureStillFreesTheFormsReleasedBeforeIt) {
  NewScreen("frmBelow");
  TTestScreen& top = NewScreen("frmTop");
  TComponentRef<TComponent> topRef;
  topRef = &top;
  top.onPost = [](TTestScreen& self) {
    self.Release();
    throw EIWException("late failure");
  };
  Post();
  EXPECT_FALSE(topRef);
  EXPECT_NE(App().ActiveForm()->ExtraInitScript().find("late failure"), std::string::npos);
}

TEST_F(ApplicationTest, PartialUpdatesFallBackToFullPagesForOlderBrowsers) {
  StartSession(brNetscape6);
  TTestScreen& form = NewScreen();
  form.SetUpdateMode(umPartial);
  Post();
  EXPECT_EQ(form.UpdateMode(), umAll);
  StartSession(brIE);
  TTestScreen& modern = NewScreen();
  modern.SetUpdateMode(umPartial);
  Post();
  EXPECT_EQ(modern.UpdateMode(), umPartial);
  EXPECT_EQ(App().FormAction(), "/RequestQX9/UPDATE?" + App().AppID() + "1");
  Controller().SetSessionTrackingMethod(tmURL);
  App().PreparePage();
  EXPECT_EQ(App().FormAction(), "/RequestQX9/UPDATE/1/" + App().AppID());
}

TEST_F(ApplicationTest, FormActionURLFollowsTheTrackingMethod) {
  NewScreen();
  EXPECT_EQ(App().FormActionURL(), "/RequestQX9/EXEC");
  Controller().SetExecCmd("GO");
  Controller().SetSessionTrackingMethod(tmURL);
  EXPECT_EQ(App().FormActionURL(), "/RequestQX9/GO/0/" + App().AppID());
  Controller().SetSessionTrackingMethod(tmCookie);
  EXPECT_EQ(App().FormActionURL(), "/RequestQX9/GO");
}

TEST_F(ApplicationTest, ConnectionModesAreCheckedWhenThePageIsPrepared) {
  TTestScreen& form = NewScreen();
  TFakeRequest request;
  TFakeResponse response(request);
  App().AttachRequest(request, response, nullptr);
  form.SetConnectionMode(cmSecure);
  try {
    App().PreparePage();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Secure mode is required for this form.");
  }
  request.fields["HTTPS"] = "on";
  EXPECT_TRUE(App().IsSecure());
  EXPECT_NO_THROW(App().PreparePage());
  form.SetConnectionMode(cmNonSecure);
  try {
    App().PreparePage();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Non-Secure mode is required for this form.");
  }
  form.SetConnectionMode(static_cast<TIWConnectionMode>(9));
  try {
    App().PreparePage();
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Unknown Connection mode");
  }
  App().DetachRequest();
}

TEST_F(ApplicationTest, ServerURLAndInternalFilesBase) {
  TFakeRequest request;
  TFakeResponse response(request);
  request.variables[rvHost] = "example.test:8081";
  request.variables[rvServerPort] = "8081";
  App().AttachRequest(request, response, nullptr);
  EXPECT_EQ(App().ServerURL(), "http://example.test:8081");
  Controller().SSLOptions().Port = 8081;
  EXPECT_EQ(App().ServerURL(), "https://example.test:8081");
  App().DetachRequest();
  EXPECT_EQ(App().InternalFilesBase(), "/RequestQX9");
  Controller().SetUseInternalFiles(false);
  EXPECT_EQ(App().InternalFilesBase(), "/");
}

TEST_F(ApplicationTest, AFormThatDoesNotSupportTheBrowserGivesWayToAMessage) {
  TTestScreen& form = NewScreen();
  TComponentRef<TComponent> ref;
  ref = &form;
  form.SetSupportedBrowsers({brOpera});
  App().PreparePage();
  EXPECT_FALSE(ref);
  TIWAppForm* shown = App().ActiveForm();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->ExtraInitScript().rfind("window.alert(\"Your browser was detected as Internet Explorer, "
                                           "identifying itself as ",
                                           0),
            0u);
  EXPECT_NE(shown->ExtraInitScript().find("* Opera\\n"), std::string::npos);
}

TEST_F(ApplicationTest, TwoAlertsShowInCallOrder) {
  TTestScreen& form = NewScreen();
  App().ShowMessage("one");
  App().ShowMessage("two\r\nlines", smAlert, {});
  EXPECT_EQ(form.ExtraInitScript(), "window.alert(\"one\");\r\nwindow.alert(\"two\\nlines\");\r\n");
}

TEST_F(ApplicationTest, AnAlertOnAnHTML32SessionBecomesTheMessageForm) {
  StartSession(brIE4, rkHTML32);
  TTestScreen& form = NewScreen();
  App().ShowMessage("Saved.\nDone");
  auto* message = dynamic_cast<TIWShowMessage*>(App().ActiveForm());
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(form.ExtraInitScript(), "");
  EXPECT_EQ(message->TemplateName(), "IWShowMessage.html");
  EXPECT_EQ(message->TextMessage()->Name(), "textMessage");
  EXPECT_EQ(message->TextMessage()->Lines().Lines(), (std::vector<std::string>{"Saved.", "Done"}));
  EXPECT_EQ(message->TextMessage()->Bounds(), (TBounds{8, 8, 337, 121}));
  EXPECT_FALSE(message->TextMessage()->UseFrame());
  EXPECT_EQ(message->ButnOk()->Name(), "butnOk");
  EXPECT_EQ(message->ButnOk()->Caption(), "Ok");
  EXPECT_EQ(message->ButnOk()->Bounds(), (TBounds{136, 136, 75, 25}));
}

TEST_F(ApplicationTest, WithoutActiveFormAnAlertBecomesTheMessageFormAndAFramedOneIsFramed) {
  App().ShowMessage("No form yet");
  ASSERT_NE(dynamic_cast<TIWShowMessage*>(App().ActiveForm()), nullptr);
  App().ShowMessage("Framed", smSameWindowFrame, "Mine.html");
  auto& framed = dynamic_cast<TIWShowMessage&>(*App().ActiveForm());
  EXPECT_TRUE(framed.TextMessage()->UseFrame());
  EXPECT_EQ(framed.TemplateName(), "Mine.html");
  EXPECT_EQ(App().ActiveForms().size(), 2u);
}

TEST_F(ApplicationTest, TheMessageFormRendersItsTextAndButton) {
  NewScreen();
  App().ShowMessage("a < b\nc", smSameWindow, {});
  App().PreparePage();
  const std::string page = Render(*App().ActiveForm());
  EXPECT_NE(page.find("<div CLASS=\"TEXTMESSAGECSS\" ID=\"TEXTMESSAGE\">a &lt; b<br>c<br></div>"), std::string::npos);
  EXPECT_NE(page.find("<form onSubmit=\"return FormDefaultSubmit();\"><input VALUE=\"Ok\" NAME=\"BUTNOK\" "
                      "TYPE=\"button\" CLASS=\"BUTNOKCSS\" ID=\"BUTNOK\"></form>"),
            std::string::npos);
  EXPECT_NE(page.find("function BUTNOK_onclick() {\r\nreturn SubmitClickConfirm('BUTNOK','', true, '');"),
            std::string::npos);
  EXPECT_NE(page.find("NAME=\"IW_FormClass\" VALUE=\"TIWShowMessage\""), std::string::npos);
}

TEST_F(ApplicationTest, TheMessageFormsButtonGoesBackOrStartsTheMainForm) {
  TTestScreen& form = NewScreen();
  App().ShowMessage("x", smSameWindow, {});
  auto* message = dynamic_cast<TIWShowMessage*>(App().ActiveForm());
  ASSERT_NE(message, nullptr);
  message->ButnOk()->RunAction("");
  EXPECT_EQ(App().ActiveForm(), &form);
  Post();  // the released message form goes at the end of the execution
  EXPECT_EQ(App().Forms().size(), 1u);

  // With nothing below it, the registered main form starts anew.
  form.Hide();
  App().ShowMessage("y", smSameWindow, {});
  RegisterStartForm(rkHTML40, &TTestScreen::StaticClassInfo());
  dynamic_cast<TIWShowMessage&>(*App().ActiveForm()).butnOkClick(nullptr);
  ASSERT_NE(App().ActiveForm(), nullptr);
  EXPECT_NE(App().ActiveForm(), &form);
  EXPECT_EQ(App().ActiveForm()->ClassName(), "TTestScreen");

  App().ActiveForm()->Hide();
  App().ShowMessage("z", smSameWindow, {});
  RegisterStartForm(rkHTML40, nullptr);
  try {
    dynamic_cast<TIWShowMessage&>(*App().ActiveForm()).butnOkClick(nullptr);
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "No main form is defined.");
  }
}

TEST_F(ApplicationTest, ANewWindowMessageOpensAWindowAfterTheOtherInitCode) {
  TTestScreen& form = NewScreen();
  App().ShowMessage("Line 1\r\nLine 2", smNewWindow, {});
  const std::string script =
      "msgWindow=window.open(\"\",\"ShowMessage\",\"menubar=no,scrollbars=yes,status=no,width=300,height=300,"
      "toolbar=no,location=no,resizable=no,directories=no\");\r\n"
      "msgWindow.document.open(\"text/html\", \"replace\");\r\n"
      "msgWindow.document.write('<HTML><HEAD><TITLE>Message Dialog</TITLE></HEAD>');\r\n"
      "msgWindow.document.write('<BODY>');\r\n"
      "msgWindow.document.write('<CENTER>Line 1<br>Line 2</CENTER>')\r\n"
      "msgWindow.document.write('<FORM onSubmit=\"window.close();\"><CENTER><INPUT TYPE=\"button\" "
      "NAME=\"butnClose\" VALUE=\"Ok\" onClick=\"window.close();\"></CENTER></FORM>');\r\n"
      "msgWindow.document.write('</BODY>');\r\n"
      "msgWindow.document.close();\r\n";
  EXPECT_EQ(form.MessageWindowScript(), script);
  App().PreparePage();
  const std::string page = Render(form);
  EXPECT_NE(page.find("ReleaseLock();\r\n" + script + "\r\n}"), std::string::npos);
  EXPECT_EQ(form.MessageWindowScript(), "");
}

TEST_F(ApplicationTest, TerminateShowsItsMessageOnTheFinalPage) {
  NewScreen();
  App().Terminate("Login canceled.");
  EXPECT_TRUE(App().Terminated());
  EXPECT_EQ(App().FinalPage(),
            "<html><head><script> function IWTop(){ \r\n  if ((parent != self) && (parent != null) ) {\r\n"
            "    try {\r\n      return parent.IWTop();\r\n    } catch (e) {\r\n      return window;\r\n"
            "    }\r\n  } else {\r\n    return window;\r\n  }\r\n}\r\n"
            "IWTop().setTimeout('document.writeln( \"<html><body>Login canceled.</body></html>\");"
            "document.close();',0);</script></head></html>");
  TMemoryStream out;
  App().Render(out);
  EXPECT_EQ(out.Bytes(), App().FinalPage());
}

TEST_F(ApplicationTest, TerminateAndRedirectRefreshesToTheURL) {
  NewScreen();
  App().TerminateAndRedirect("/");
  EXPECT_EQ(App().FinalPage(),
            "<html>\r\n<head>\r\n<META HTTP-EQUIV=\"Refresh\" CONTENT=\"0;URL=/\">\r\n"
            "<meta http-equiv=\"cache-control\" content=\"no-cache\">\r\n"
            "<meta http-equiv=\"pragma\" content=\"no-cache\">\r\n</head></html>");
  TFakeRequest request;
  TFakeResponse response(request);
  App().SendRedirectReply(response);
  EXPECT_EQ(response.Content(), App().FinalPage());

  App().SetIsPartialUpdate(true);
  EXPECT_EQ(App().FinalPage().substr(0, 27), "<html>\r\n<head>\r\n<script>\r\nf");
  EXPECT_NE(App().FinalPage().find("}\r\n IWTop().window.location.href = \"/\";</script>\r\n</head></html>"),
            std::string::npos);

  App().SetIsPartialUpdate(false);
  Controller().SetRedirectMsgDelay(3);
  App().Terminate("Bye");
  EXPECT_EQ(App().FinalPage(),
            "<html>\r\n<head>\r\n<META HTTP-EQUIV=\"Refresh\" CONTENT=\"30;URL=/\">\r\n"
            "<meta http-equiv=\"cache-control\" content=\"no-cache\">\r\n"
            "<meta http-equiv=\"pragma\" content=\"no-cache\">\r\n</head><body>Bye</body></html>");
}

TEST_F(ApplicationTest, ARedirectEndsExecutionWithoutANewTrackNumber) {
  TTestScreen& form = NewScreen();
  form.onPost = [&](TTestScreen&) { App().TerminateAndRedirect("/"); };
  Post();
  EXPECT_EQ(App().TrackID(), 0);
  EXPECT_EQ(App().RedirectURL(), "/");
}

TEST_F(ApplicationTest, ACallbackRunsItsHandlerAndRepliesWithXml) {
  TTestScreen& form = NewScreen();
  std::vector<std::string> calls;
  App().RegisterCallBack("EDTA.DoOnAsyncClick",
                         [&](TComponent* c, const TStringList& p) { calls.push_back(c->Name() + ":" + p.Values("x")); },
                         &form);
  App().RegisterCallBack("edta.doonasyncclick",
                         [&](TComponent*, const TStringList& p) { calls.push_back("replaced:" + p.Values("x")); },
                         &form);
  EXPECT_EQ(App().Callbacks().Count(), 1);
  form.onPost = [&](TTestScreen& self) {
    App().RunCallBack("EDTA.DoOnAsyncClick", self.PostedValues());
    App().RunCallBack("unknown", self.PostedValues());
    App().ShowMessage("Done");
  };
  TFakeRequest request;
  TFakeResponse response(request);
  App().AttachRequest(request, response, nullptr);
  App().ProcessCallback({"callback=EDTA.DoOnAsyncClick", "x=5"});
  App().DetachRequest();
  EXPECT_EQ(calls, (std::vector<std::string>{"replaced:5"}));
  EXPECT_TRUE(App().IsCallback());
  EXPECT_EQ(App().TrackID(), 0);
  EXPECT_EQ(response.ContentType(), "text/xml");
  EXPECT_EQ(response.Content(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><response>\r\n"
            "  <update></update>\r\n"
            "  <execute>\r\n  <literal><![CDATA[window.alert(\"Done\");\r\n]]></literal>\r\n</execute>\r\n"
            "</response>");
  EXPECT_EQ(form.ExtraInitScript(), "");
}

TEST_F(ApplicationTest, ATerminationDuringACallbackRunsTheFinalPageFromTheReply) {
  TTestScreen& form = NewScreen();
  form.onPost = [&](TTestScreen&) { App().Terminate("Ended \xe9"); };
  TFakeRequest request;
  TFakeResponse response(request);
  App().AttachRequest(request, response, nullptr);
  App().ProcessCallback({"callback=x"});
  App().DetachRequest();
  EXPECT_NE(response.Content().find(
                "<literal><![CDATA[IWTop().setTimeout('document.writeln(\"<html><body>Ended \xc3\xa9"
                "</body></html>\");document.close();',0);]]></literal>"),
            std::string::npos);
}

TEST_F(ApplicationTest, AStalePageRunsTheBackButtonHandlerAndMayBeExecuted) {
  TTestScreen& form = NewScreen();
  Post();
  ASSERT_EQ(App().TrackID(), 1);
  App().ProcessStalePage(0, {"IW_FormName=frmOld"});
  EXPECT_EQ(form.posts.size(), 1u);
  EXPECT_NE(form.ExtraInitScript().find("window.alert(\"You have attempted to post or refresh data from a page "
                                        "that  depends on information"),
            std::string::npos);

  form.ClearExtraInitScript();
  std::string seen;
  Controller().SetOnBackButton([&](int submitted, int current, const std::string& name, bool& handled, bool& execute) {
    seen = IntToStr(submitted) + "/" + IntToStr(current) + "/" + name;
    handled = true;
    execute = true;
  });
  App().ProcessStalePage(0, {"IW_FormName=frmOld"});
  EXPECT_EQ(seen, "0/1/frmOld");
  EXPECT_EQ(form.posts.size(), 2u);
  EXPECT_EQ(form.ExtraInitScript(), "");
  EXPECT_EQ(App().TrackID(), 2);
}

TEST_F(ApplicationTest, RenderLetsTheControllerSwapTheFormAndTellsItAfterwards) {
  TTestScreen& first = NewScreen("frmFirst");
  TTestScreen& other = CreateComponent<TTestScreen>(App());
  other.SetName("frmOther");
  std::vector<std::string> seen;
  Controller().SetOnBeforeRender([&](TIWApplication&, TIWAppForm& form, TIWAppForm*& next) {
    seen.push_back("before " + form.Name());
    if (&form == &first) next = &other;
  });
  Controller().SetOnAfterRender([&](TIWApplication&, TIWAppForm& form) { seen.push_back("after " + form.Name()); });
  App().PreparePage();
  TMemoryStream out;
  App().Render(out);
  EXPECT_EQ(seen, (std::vector<std::string>{"before frmFirst", "after frmOther"}));
  EXPECT_NE(std::string(out.Bytes()).find("VALUE=\"frmOther\""), std::string::npos);
  EXPECT_EQ(App().ActiveForm(), &other);
}

TEST_F(ApplicationTest, FirstFormsMustBeApplicationForms) {
  try {
    App().CreateFirstForm(TIWRegion::StaticClassInfo());
    FAIL();
  } catch (const EIWException& e) {
    EXPECT_STREQ(e.what(), "Form must be an application form.");
  }
  App().CreateFirstForm(TTestScreen::StaticClassInfo());
  EXPECT_EQ(App().ActiveForm()->ClassName(), "TTestScreen");
}

TEST_F(ApplicationTest, ModulesAreFoundByNameInTheCurrentSessionOnly) {
  TTestScreen& form = NewScreen("frmHome");
  EXPECT_EQ(FindGlobalComponent("FRMHOME"), &form);
  TIWApplication& first = App();
  {
    TIWSessionStartInfo start;
    start.Browser = brIE;
    start.AppURLBase = kURLBase;
    Owned<IIWApplication> other = TIWApplication::Create(start);
    TCurrentApplicationScope scope(other.get());
    EXPECT_EQ(FindGlobalComponent("frmHome"), nullptr);
    TTestScreen& own = CreateComponent<TTestScreen>(other->Application());
    own.SetName("frmHome");
    EXPECT_EQ(FindGlobalComponent("frmHome"), &own);
  }
  EXPECT_EQ(&App(), &first);
  EXPECT_EQ(FindGlobalComponent("frmHome"), &form);
  form.Free();
  EXPECT_EQ(FindGlobalComponent("frmHome"), nullptr);
  TCurrentApplicationScope none(nullptr);
  EXPECT_EQ(FindGlobalComponent("frmHome"), nullptr);
}

TEST_F(ApplicationTest, TheFormsListFollowsOwnership) {
  TTestScreen& a = NewScreen("frmA");
  NewScreen("frmB");
  EXPECT_EQ(App().Forms().size(), 2u);
  a.Free();
  EXPECT_EQ(App().Forms().size(), 1u);
  EXPECT_EQ(App().Forms()[0]->Name(), "frmB");
}

TEST_F(ApplicationTest, UploadedFilesAreFoundByFieldName) {
  std::vector<std::unique_ptr<THTTPFile>> files;
  files.push_back(std::make_unique<THTTPFile>("Photo", "me.jpg", "image/jpeg", dir_ / "up1"));
  TFakeRequest request;
  TFakeResponse response(request);
  App().AttachRequest(request, response, &files);
  EXPECT_EQ(App().FindUploadedFile("PHOTO"), files[0].get());
  EXPECT_EQ(App().FindUploadedFile("other"), nullptr);
  App().DetachRequest();
  EXPECT_EQ(App().FindUploadedFile("Photo"), nullptr);
}

}  // namespace
}  // namespace qx::test
