#include "monitor/qt/qt_telnet_socket.h"

#include <QByteArray>
#include <QString>

namespace monitor {
namespace {

struct StateRow {
  QAbstractSocket::SocketState qt;
  int number;
};

constexpr StateRow kStates[] = {
    {QAbstractSocket::UnconnectedState, kStateClosed},
    {QAbstractSocket::HostLookupState, kStateResolvingHost},
    {QAbstractSocket::ConnectingState, kStateConnecting},
    {QAbstractSocket::ConnectedState, kStateConnected},
    {QAbstractSocket::BoundState, kStateOpen},
    {QAbstractSocket::ListeningState, kStateListening},
    {QAbstractSocket::ClosingState, kStateClosing},
};

}  // namespace

int StateNumber(QAbstractSocket::SocketState state) {
  for (const StateRow& row : kStates) {
    if (row.qt == state) return row.number;
  }
  return kStateError;
}

QtTelnetSocket::QtTelnetSocket(QObject* parent) : QObject(parent) {}

int QtTelnetSocket::State() const { return StateNumber(socket_.state()); }

std::function<void()> QtTelnetSocket::Relay(void (QtTelnetSocket::*signal_to_emit)()) {
  return [this, generation = generation_, signal_to_emit] {
    if (generation == generation_) (this->*signal_to_emit)();
  };
}

// Each connection gets fresh queued connections that carry its generation;
// Close() moves the generation on, which silences whatever is still queued.
void QtTelnetSocket::Attach() {
  socket_.disconnect(this);
  ++generation_;
  connect(&socket_, &QTcpSocket::connected, this, Relay(&QtTelnetSocket::Connected),
          Qt::QueuedConnection);
  connect(&socket_, &QTcpSocket::readyRead, this, Relay(&QtTelnetSocket::DataArrival),
          Qt::QueuedConnection);
  connect(&socket_, &QTcpSocket::disconnected, this, Relay(&QtTelnetSocket::ClosedByPeer),
          Qt::QueuedConnection);
  // A peer's close also comes as an error before `disconnected`; it is a
  // close, not a failure.
  connect(
      &socket_, &QTcpSocket::errorOccurred, this,
      [failed = Relay(&QtTelnetSocket::Failed)](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError) failed();
      },
      Qt::QueuedConnection);
}

void QtTelnetSocket::Connect(const std::string& host, const std::string& port) {
  Attach();
  const auto number = ParsePort(port);
  if (!number) {
    QMetaObject::invokeMethod(this, Relay(&QtTelnetSocket::Failed), Qt::QueuedConnection);
    return;
  }
  socket_.connectToHost(QString::fromStdString(host), *number);
}

void QtTelnetSocket::Close() {
  ++generation_;
  socket_.abort();
}

void QtTelnetSocket::Send(std::string_view bytes) {
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string QtTelnetSocket::ReadAll() { return socket_.readAll().toStdString(); }

}  // namespace monitor
