// monitor_echo_console [port]: a loopback console that greets each client and
// sends every line back, for trying GyrionMonitor without a game server.
// Listens on 127.0.0.1 (default port 2593) until interrupted.

#include <QCoreApplication>
#include <cstdio>

#include "monitor/core/telnet_socket.h"
#include "monitor/qt/tests/loopback_console.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const auto port = monitor::ParsePort(argc > 1 ? argv[1] : "2593");
  if (argc > 2 || !port) {
    std::fprintf(stderr, "usage: monitor_echo_console [port]\n");
    return 2;
  }
  monitor::testing::LoopbackConsole console(*port, true);
  if (!console.Listening()) {
    std::fprintf(stderr, "cannot listen on 127.0.0.1:%u\n", unsigned{*port});
    return 1;
  }
  std::printf("Echo console on 127.0.0.1:%u\n", unsigned{console.Port()});
  std::fflush(stdout);
  return QCoreApplication::exec();
}
