// A scripted SMTP peer on 127.0.0.1 for protocol tests: it accepts one connection and plays
// a script of expected client lines and canned replies, recording everything it received.
#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace qx::test {

class ScriptedServer {
 public:
  ScriptedServer();   // listens on an ephemeral port
  ~ScriptedServer();  // finishes the script
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int Port() const noexcept { return port_; }

  // Script steps, run in order once a client connects (after Start()).
  ScriptedServer& Send(std::string line);        // the line and CR LF
  ScriptedServer& SendRaw(std::string bytes);    // exactly these bytes
  ScriptedServer& Expect(std::string line);      // the next client line must equal it
  ScriptedServer& ExpectPrefix(std::string prefix);
  ScriptedServer& ReceiveData();                 // lines up to "." (kept in DataLines)
  ScriptedServer& Close();                       // closes the connection
  ScriptedServer& Silent();                      // says nothing until the client hangs up

  // The usual opening: greeting and an EHLO answered with `extensions`.
  ScriptedServer& Greet(const std::vector<std::string>& extensions);

  void Start();
  // Waits for the script to end; the client must have done its part by then.
  void Finish();

  // Available after Finish().
  const std::vector<std::string>& Received() const noexcept { return received_; }
  const std::vector<std::string>& DataLines() const noexcept { return data_; }
  // Empty when the client followed the script; otherwise what went wrong first.
  const std::string& Failure() const noexcept { return failure_; }

 private:
  void Run();
  bool ReadLine(std::string& line);  // false when the client closed or went quiet too long

  int listener_ = -1;
  int client_ = -1;
  int port_ = 0;
  std::vector<std::function<bool()>> steps_;
  std::string input_;
  std::vector<std::string> received_;
  std::vector<std::string> data_;
  std::string failure_;
  std::thread thread_;
};

}  // namespace qx::test
