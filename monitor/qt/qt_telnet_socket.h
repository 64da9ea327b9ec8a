// `TelnetSocket` over Qt's QTcpSocket. Qt's signals are turned into the four
// events the monitor knows and delivered from the event loop, after the call
// that caused them has returned, so that no handler ever runs inside another.
#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QTcpSocket>
#include <functional>

#include "monitor/core/telnet_socket.h"

namespace monitor {

// The socket-state number for a Qt socket state.
int StateNumber(QAbstractSocket::SocketState state);

class QtTelnetSocket : public QObject, public TelnetSocket {
  Q_OBJECT

 public:
  explicit QtTelnetSocket(QObject* parent = nullptr);

  int State() const override;
  // A port text that names no port fails through Failed() like any other
  // connection that cannot be made.
  void Connect(const std::string& host, const std::string& port) override;
  void Close() override;
  void Send(std::string_view bytes) override;
  std::string ReadAll() override;

 signals:
  // The connection is made.
  void Connected();
  // Bytes wait to be read with ReadAll().
  void DataArrival();
  // The peer closed the connection.
  void ClosedByPeer();
  // The connection could not be made or broke.
  void Failed();

 private:
  // Gives the socket new connections for the next attempt.
  void Attach();
  // A call that emits `signal_to_emit` only while the current connection lasts.
  std::function<void()> Relay(void (QtTelnetSocket::*signal_to_emit)());

  QTcpSocket socket_;
  // Counts connections; an event queued for an earlier one is dropped, so a
  // socket the monitor closed never reports anything afterwards.
  quint64 generation_ = 0;
};

}  // namespace monitor
