#include "monitor/qt/tests/loopback_console.h"

#include <QHostAddress>

namespace monitor::testing {

LoopbackConsole::LoopbackConsole(quint16 port, bool echo) : echo_(echo) {
  connect(&server_, &QTcpServer::newConnection, this, [this] { Accept(); });
  server_.listen(QHostAddress::LocalHost, port);
}

bool LoopbackConsole::HasPeer() const {
  return latest_ != nullptr && latest_->state() == QAbstractSocket::ConnectedState;
}

void LoopbackConsole::Send(const QByteArray& bytes) {
  if (latest_ != nullptr) latest_->write(bytes);
}

void LoopbackConsole::ClosePeer() {
  if (latest_ != nullptr) latest_->disconnectFromHost();
}

void LoopbackConsole::Accept() {
  while (QTcpSocket* peer = server_.nextPendingConnection()) {
    ++accepted_;
    latest_ = peer;
    received_.clear();
    pending_line_.clear();
    connect(peer, &QTcpSocket::readyRead, this, [this, peer] { Read(peer); });
    connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    if (echo_) {
      peer->write("Loopback console. Each line you send comes back.\r\n");
    }
  }
}

void LoopbackConsole::Read(QTcpSocket* peer) {
  const QByteArray bytes = peer->readAll();
  if (peer != latest_) return;
  received_ += bytes;
  if (!echo_) return;
  pending_line_ += bytes;
  for (qsizetype end = pending_line_.indexOf('\n'); end >= 0; end = pending_line_.indexOf('\n')) {
    QByteArray line = pending_line_.left(end);
    pending_line_.remove(0, end + 1);
    if (line.endsWith('\r')) line.chop(1);
    peer->write("echo: " + line + "\r\n");
  }
}

}  // namespace monitor::testing
