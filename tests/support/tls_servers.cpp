#include "support/tls_servers.h"

#include <cstdlib>
#include <stdexcept>

#include "support/servers.h"
#include "support/temp_dir.h"

namespace veldrask::testing {

const std::filesystem::path& TestCertificates() {
  static const TempDir folder;
  static const std::filesystem::path made = [] {
    const std::string command = "bash '" +
                                (ServersDir() / "tls" / "make_certificates.sh").string() + "' '" +
                                folder.path().string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
      throw std::runtime_error("making the test certificates failed: " + command);
    }
    return folder.path();
  }();
  return made;
}

std::unique_ptr<ServerProcess> StartTlsFront(const TlsFront& front) {
  ServerCommand command;
  command.argv = {"node", (ServersDir() / "node" / "tls_front.js").string()};
  if (!front.certificate.empty() && front.to != 0) {
    const std::filesystem::path& certificates = TestCertificates();
    command.argv.push_back("--cert=" + (certificates / (front.certificate + ".pem")).string());
    command.argv.push_back("--key=" + (certificates / (front.certificate + ".key")).string());
    command.argv.push_back("--to=" + std::to_string(front.to));
  }
  for (const std::string& fault : front.faults) command.argv.push_back("--" + fault);
  return std::make_unique<ServerProcess>(std::move(command));
}

}  // namespace veldrask::testing
