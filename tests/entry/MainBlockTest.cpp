// The library's start-up steps and the ".err" file they report failures to.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>

#include "entry/ISAPIApplication.h"
#include "entry/MainBlock.h"
#include "entry/TestController.h"
#include "runtime/Exceptions.h"
#include "runtime/Files.h"
#include "support/TempDir.h"

namespace qx {
namespace {

class Dispatcher : public TCustomWebDispatcher {
 protected:
  bool DefaultAction(TWebRequest&, TWebResponse&) override { return true; }
};
const TDispatcherClass kClass{"Dispatcher", []() -> std::unique_ptr<TCustomWebDispatcher> {
                                return std::make_unique<Dispatcher>();
                              }};

std::string cacheFolder;
std::string startedWith;

std::unique_ptr<TCustomServerController> GoodController(const std::string& library) {
  startedWith = library;
  return std::make_unique<test::TestController>(cacheFolder);
}

std::unique_ptr<TCustomServerController> FailingController(const std::string&) {
  throw Exception("Unable to create cache directory \"/x/Cache/\".");
}

class MainBlock : public ::testing::Test {
 protected:
  void TearDown() override {
    DestroyApplication();
    RegisterServerControllerClass(nullptr);
  }
  std::string ErrText() { return ReadFileBytes(dir_ / "Service.err").value_or("<none>"); }

  test::TempDir dir_;
  TModuleInfo library_{dir_ / "Service.so", true};
};

TEST_F(MainBlock, StartsTheControllerAndRegistersTheDispatcher) {
  cacheFolder = dir_.path();
  RegisterServerControllerClass(&GoodController);
  ISAPIMainBlock(library_, kClass);
  EXPECT_EQ(ErrText(), "<none>");
  ASSERT_NE(Application(), nullptr);
  EXPECT_NE(Application()->ServerController(), nullptr);
  EXPECT_EQ(startedWith, dir_ / "Service.so");
  EXPECT_TRUE(Application()->RequestHandler().HasDispatcherClass());
}

TEST_F(MainBlock, AProgramIsNoLibrary) {
  ISAPIMainBlock({dir_ / "Service.so", false}, kClass);
  EXPECT_EQ(ErrText(), "Error: ISAPI version must be a library.\r\n");
}

TEST_F(MainBlock, MissingControllerClassIsReportedAndStopsTheSteps) {
  ISAPIMainBlock(library_, kClass);
  EXPECT_EQ(ErrText(), "Error: No server controller is defined.\r\n");
  EXPECT_FALSE(Application()->RequestHandler().HasDispatcherClass());
}

TEST_F(MainBlock, ControllerFailureIsAppendedToTheErrorFile) {
  ASSERT_TRUE(WriteFileBytes(dir_ / "Service.err", "earlier line\r\n"));
  RegisterServerControllerClass(&FailingController);
  ISAPIMainBlock(library_, kClass);
  ISAPIMainBlock(library_, kClass);
  EXPECT_EQ(ErrText(),
            "earlier line\r\n"
            "Error: Unable to create cache directory \"/x/Cache/\".\r\n"
            "Error: Unable to create cache directory \"/x/Cache/\".\r\n");
  EXPECT_FALSE(Application()->RequestHandler().HasDispatcherClass());
}

TEST(ModuleOf, TellsTheProgramFromALibrary) {
  TModuleInfo program = ModuleOf(reinterpret_cast<const void*>(&ModuleOf));
  EXPECT_FALSE(program.IsLibrary);
  EXPECT_EQ(program.FileName, std::filesystem::canonical("/proc/self/exe").string());
  void* inLibrary = ::dlsym(RTLD_DEFAULT, "dlsym");
  ASSERT_NE(inLibrary, nullptr);
  EXPECT_TRUE(ModuleOf(inLibrary).IsLibrary);
}

TEST(ErrorFileName, IsTheModuleNameWithTheErrExtension) {
  EXPECT_EQ(ErrorFileName("/srv/qx/RequestQX9.so"), "/srv/qx/RequestQX9.err");
}

}  // namespace
}  // namespace qx
