// The admin tool's tests: a small database of known rows, the tool run on it as a process, the
// whole content as text (to show that a refused command changed nothing), and a neighbour
// connection that keeps writing to the file while the tool runs, as the service's sessions do.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "data/DataFixture.h"
#include "support/AdminTool.h"

namespace qx::test {

// Keeps another connection to the database writing, one short transaction after another,
// until it is destroyed; each round runs `write` with its round number (from 1).
class NeighbourWriter {
 public:
  using Write = std::function<void(TADOConnection&, int round)>;
  NeighbourWriter(std::unique_ptr<TADOConnection> connection, Write write)
      : connection_(std::move(connection)), write_(std::move(write)), thread_([this] { Run(); }) {
    while (rounds_ == 0 && !failed_) std::this_thread::yield();
  }
  ~NeighbourWriter() {
    stop_ = true;
    thread_.join();
    EXPECT_FALSE(failed_) << "the neighbour's write failed: " << failure_;
  }
  int Rounds() const { return rounds_; }

 private:
  void Run() {
    while (!stop_ && !failed_) {
      try {
        connection_->BeginTrans();
        write_(*connection_, rounds_ + 1);
        connection_->CommitTrans();
        ++rounds_;
      } catch (const std::exception& e) {
        failure_ = e.what();
        failed_ = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  std::unique_ptr<TADOConnection> connection_;
  Write write_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> failed_{false};
  std::atomic<int> rounds_{0};
  std::string failure_;
  std::thread thread_;
};

class AdminFixture : public ::testing::Test, public TestDatabase {
 protected:
  void SetUp() override {
    for (const char* sql : {
             "INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New'),"
             " (1, 'ES', 'Nueva'), (2, 'EN', 'Awaiting attention'), (3, 'EN', 'In progress'),"
             " (3, 'ES', 'En proceso'), (4, 'EN', 'Cancelled'), (13, 'EN', 'Sent by e-mail')",
             "INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail,"
             " RequestGetDays) VALUES (1, 'EN', 'Ana Torres', 'ana', 'ana@example.com', 1, 30),"
             " (1, 'ES', 'Ana Torres', 'ana', 'ana@example.com', 1, 30),"
             " (2, 'EN', 'Bruno', 'bruno', 'bruno@example.com', 0, 7)",
             "INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent)"
             " VALUES (1, 'Broken chair', 11, 1, 0), (2, 'Leaking tap', 12, 2, 1)",
             "INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt,"
             " Comments, Id_UserStatus, UserNameQX, StatusType) VALUES"
             " (11, 1, 1, 46000.5, 'Reported', 1, NULL, 1), (12, 2, 2, 46001.5, NULL, 0, 'Desk', 1)",
             "INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, SSL_Method,"
             " SSL_VerDepht, AutType) VALUES (1, 'mail.example.com', '', '', 25, 0, 1, 0, 0)",
         })
      Exec(sql);
  }

  // Runs the tool on the fixture's database.
  ProgramResult Admin(std::vector<std::string> args, std::string_view input = {}) {
    args.insert(args.end(), {"--database", path_});
    return RunAdminTool(dir_, std::move(args), input);
  }

  // Every row of every table, as text.
  std::string Content() {
    std::string text;
    for (const SchemaTable& table : SchemaTables()) {
      text += table.name + ":\n";
      for (auto rows = Query("SELECT * FROM " + table.name); !rows->Eof(); rows->Next()) {
        for (int i = 0; i < rows->FieldCount(); ++i) text += rows->Fields(i).AsString() + "|";
        text += "\n";
      }
    }
    return text;
  }

  // A neighbour that rewrites a row with its own values: it holds the file for a moment at a
  // time and changes nothing.
  NeighbourWriter QuietNeighbour() {
    return NeighbourWriter(OtherConnection(5000), [](TADOConnection& c, int) {
      Exec(c, "UPDATE Users SET SendSMS = SendSMS WHERE Id_User = 1");
    });
  }

  // One refused command: its exit status, its message, and the database as it was.
  struct Refusal {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string message;
  };
  void ExpectRefused(const std::vector<Refusal>& cases) {
    const std::string before = Content();
    for (const Refusal& c : cases) {
      ProgramResult r = Admin(c.args, c.input);
      std::string shown;
      for (const std::string& a : c.args) shown += a + " ";
      EXPECT_EQ(r.status, c.status) << shown << r.err;
      EXPECT_NE(r.err.find(c.message), std::string::npos) << shown << r.err;
      EXPECT_EQ(Content(), before) << shown;
    }
  }

  std::string Scalar(const std::string& sql) { return Query(sql)->Fields(0).AsString(); }
};

}  // namespace qx::test
