// A stand-in for the game server's remote console on 127.0.0.1: it records
// what a client sends and sends, or closes, on request. With echo on it greets
// each client and answers every line, for trying the monitor by hand.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace monitor::testing {

class LoopbackConsole : public QObject {
 public:
  // Listens at `port` (0: any free port); check Listening().
  explicit LoopbackConsole(quint16 port = 0, bool echo = false);

  bool Listening() const { return server_.isListening(); }
  quint16 Port() const { return server_.serverPort(); }
  // Whether the latest client is still connected.
  bool HasPeer() const;
  // How many clients have connected so far.
  int Accepted() const { return accepted_; }
  // Everything the latest client has sent.
  QByteArray Received() const { return received_; }
  // Sends `bytes` to the latest client.
  void Send(const QByteArray& bytes);
  // Closes the connection to the latest client.
  void ClosePeer();

 private:
  void Accept();
  void Read(QTcpSocket* peer);

  QTcpServer server_;
  bool echo_;
  QPointer<QTcpSocket> latest_;
  QByteArray received_;
  QByteArray pending_line_;
  int accepted_ = 0;
};

}  // namespace monitor::testing
