// Runs the aiosmtpd test peer as a child process and reads back the mails it stored;
// makes test certificates with the openssl command-line tool.
#include "SmtpPeer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "runtime/Files.h"
#include "runtime/Strings.h"

namespace qx::test {

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kPeerStartMs = 30000;

std::string ReadFile(const std::string& path) { return ReadFileBytes(path).value_or(""); }

std::vector<std::string> SplitLines(const std::string& text, const std::string& separator) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  return lines;
}

}  // namespace

TestCertificate MakeCertificate(const std::string& folder, const std::string& name,
                                const std::string& passphrase) {
  TestCertificate c{folder + name + ".crt", folder + name + ".key"};
  std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
                        "-days 2 -subj /CN=localhost -keyout '" + c.KeyFile + "' -out '" +
                        c.CertFile + "' " +
                        (passphrase.empty() ? "-nodes" : "-passout 'pass:" + passphrase + "'") +
                        " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0)
    throw std::runtime_error("openssl could not make a test certificate");
  return c;
}

std::vector<std::string> StoredMail::HeaderNames() const {
  std::vector<std::string> names;
  for (const auto& line : HeaderLines)
    if (!line.empty() && line[0] != ' ' && line[0] != '\t')
      names.push_back(line.substr(0, line.find(':')));
  return names;
}

std::string StoredMail::Header(const std::string& name) const {
  std::string value;
  bool inside = false;
  for (const auto& line : HeaderLines) {
    bool continuation = !line.empty() && (line[0] == ' ' || line[0] == '\t');
    if (inside && continuation) {
      value += " " + Trim(line);
      continue;
    }
    if (inside) break;
    std::size_t colon = line.find(':');
    if (!continuation && colon != std::string::npos && SameText(line.substr(0, colon), name)) {
      value = Trim(line.substr(colon + 1));
      inside = true;
    }
  }
  return value;
}

bool SmtpPeer::Available() {
  return std::system("/usr/bin/python3 -c 'import aiosmtpd' >/dev/null 2>&1") == 0;
}

SmtpPeer::SmtpPeer(Mode mode, const TestCertificate& certificate, const std::string& folder)
    : folder_(folder) {
  const std::string script = std::string(QX_MAIL_TEST_DIR) + "/smtp_peer.py";
  const std::string modeName = mode == Plain ? "plain" : mode == StartTLS ? "starttls" : "implicit";
  process_ = std::make_unique<ChildProcess>(
      kPython,
      std::vector<std::string>{script, "--mode", modeName, "--folder", folder_, "--cert",
                               certificate.CertFile, "--key", certificate.KeyFile, "--user", kUser,
                               "--password", kPassword},
      ChildOptions{.errorFile = folder_ + "peer.log"});
  if (!process_->Started()) throw std::runtime_error("could not start the SMTP peer");
  // The peer's first line is the port it listens on.
  process_->WaitForOutput("\n", kPeerStartMs);
  port_ = std::atoi(process_->Out().c_str());
  if (port_ <= 0) {
    std::string why = Log();
    Stop();
    throw std::runtime_error("the SMTP peer did not start: " + why);
  }
}

SmtpPeer::~SmtpPeer() { Stop(); }

void SmtpPeer::Stop() noexcept {
  if (!process_) return;
  process_->CloseInput();
  process_->Wait();
}

std::string SmtpPeer::Log() const { return ReadFile(folder_ + "peer.log"); }

std::vector<StoredMail> SmtpPeer::Mails() const {
  std::vector<int> numbers;
  for (const auto& entry : std::filesystem::directory_iterator(folder_))
    if (entry.path().extension() == ".env") numbers.push_back(std::atoi(entry.path().stem().c_str()));
  std::sort(numbers.begin(), numbers.end());
  std::vector<StoredMail> mails;
  for (int n : numbers) {
    StoredMail mail;
    std::vector<std::string> envelope =
        SplitLines(ReadFile(folder_ + std::to_string(n) + ".env"), "\n");
    if (!envelope.empty()) {
      mail.From = envelope[0];
      mail.Recipients.assign(envelope.begin() + 1, envelope.end());
    }
    std::vector<std::string> lines =
        SplitLines(ReadFile(folder_ + std::to_string(n) + ".eml"), "\r\n");
    auto blank = std::find(lines.begin(), lines.end(), "");
    mail.HeaderLines.assign(lines.begin(), blank);
    if (blank != lines.end()) mail.BodyLines.assign(blank + 1, lines.end());
    mails.push_back(std::move(mail));
  }
  return mails;
}

}  // namespace qx::test
