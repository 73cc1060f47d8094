// The fake article service as a program of its own, for trying the client:
//
//     fake_zel_service [--port N] [--failure NAME] [--wsdl NAME]
//
// It prints the service address to configure and runs until interrupted.
// Failures: none, fault, 404, html, status, badpicture, stall, 500, dtd,
// nostatus, tworesults, shortpicture, drip.  Descriptions: normal, noaddress,
// noactions, crlfaction, crlfaddress, drip.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/fake_service/fake_service.h"

int main(int argc, char** argv) {
  int port = 0;
  zeltest::FakeFailure failure = zeltest::FakeFailure::None;
  zeltest::FakeWsdl wsdl = zeltest::FakeWsdl::Normal;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--port" && hasValue) {
      port = std::atoi(argv[++i]);
    } else if (arg == "--failure" && hasValue && zeltest::ParseFailure(argv[i + 1], failure)) {
      ++i;
    } else if (arg == "--wsdl" && hasValue && zeltest::ParseWsdl(argv[i + 1], wsdl)) {
      ++i;
    } else {
      std::fprintf(stderr, "usage: %s [--port N] [--failure NAME] [--wsdl normal|noaddress|noactions|crlfaction|crlfaddress|drip]\n", argv[0]);
      return 2;
    }
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before the server's threads start

  try {
    zeltest::FakeZelService service(port);
    service.SetFailure(failure);
    service.SetWsdl(wsdl);
    std::printf("fake_zel_service: service address %s\n", service.ServiceUrl().c_str());
    std::printf("fake_zel_service: description %s, users demo/demo and kunde/geheim\n", service.WsdlUrl().c_str());
    std::fflush(stdout);
    int sig = 0;
    sigwait(&signals, &sig);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fake_zel_service: %s\n", e.what());
    return 1;
  }
  return 0;
}
