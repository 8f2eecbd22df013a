// The service's language from the session-end page: the English and Portuguese wordings in
// any letter case of the ASCII letters, the Spanish default for anything else, and one value
// per process, computed once beside the executable however many threads ask first.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "data/ServiceLanguage.h"
#include "runtime/Files.h"
#include "support/TempDir.h"

namespace qx::test {
namespace {

TEST(ServiceLanguage, TheSessionEndPageDecidesAndAnythingElseIsSpanish) {
  TempDir dir;
  EXPECT_EQ(LanguageOfSessionEndPage(dir.path()), "ES");  // no page
  ASSERT_TRUE(ForceDirectories(dir / "Files/SessionEnd.htm"));
  EXPECT_EQ(LanguageOfSessionEndPage(dir.path()), "ES");  // a folder, not a file
  ASSERT_TRUE(DeleteTree(dir / "Files"));
  ASSERT_TRUE(ForceDirectories(dir / "files"));
  // The name is matched without regard to case, as on the web server's own file system.
  const std::string page = dir / "files/sessionend.HTM";
  ASSERT_TRUE(WriteFileBytes(page, "<p>Sorry, THE SESSION HAS EXPIRED.</p>"));
  EXPECT_EQ(LanguageOfSessionEndPage(ExcludeTrailingPathDelimiter(dir.path())), "EN");
  ASSERT_TRUE(WriteFileBytes(page, "<p>A Sess\xE3o Expirou.</p>"));  // Windows-1252
  EXPECT_EQ(LanguageOfSessionEndPage(dir.path()), "PT");
  // Only ASCII letters are lowered: an upper-case A with tilde is another word.
  ASSERT_TRUE(WriteFileBytes(page, "<p>A SESS\xC3O EXPIROU.</p>"));
  EXPECT_EQ(LanguageOfSessionEndPage(dir.path()), "ES");
  ASSERT_TRUE(WriteFileBytes(page, "<p>La sesi\xF3n ha caducado.</p>"));
  EXPECT_EQ(LanguageOfSessionEndPage(dir.path()), "ES");
}

TEST(ServiceLanguage, IsComputedOnceBesideTheExecutable) {
  // The test program's own folder stands for the web server's; a page is put there for this
  // process only and taken away again.
  const std::string folder = ExtractFilePath(ExecutableFileName());
  ASSERT_FALSE(folder.empty());
  const std::string files = folder + "Files";
  const bool madeFolder = !DirectoryExists(files);
  const std::string page = files + "/SessionEnd.htm";
  ASSERT_FALSE(FileExists(page)) << "a session-end page was left beside the test program";
  ASSERT_TRUE(ForceDirectories(files));
  ASSERT_TRUE(WriteFileBytes(page, "the session has expired"));

  std::vector<const std::string*> seen(8);
  {
    std::vector<std::jthread> threads;
    for (auto& s : seen) threads.emplace_back([&s] { s = &ServiceLanguage(); });
  }
  ASSERT_TRUE(WriteFileBytes(page, "a sess\xE3o expirou"));
  const std::string& later = ServiceLanguage();
  DeleteFile(page);
  if (madeFolder) DeleteTree(files);

  EXPECT_EQ(later, "EN");  // the page's change is not seen: the value is the process's
  for (const std::string* s : seen) EXPECT_EQ(s, &later);
}

}  // namespace
}  // namespace qx::test
