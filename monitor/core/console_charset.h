// How the console's bytes become text in the windows and back. The console
// speaks single-byte text: each byte is the Latin-1 character of its value, so
// no byte is ever lost or merged with its neighbour across two arrivals. The
// windows hold UTF-8 console text whose lines end in "\n"; each front end
// shows those as its own text box's line ends.
#pragma once

#include <string>
#include <string_view>

namespace monitor {

// Turns the console's byte stream into console text, one character per byte,
// with each line end (CR LF, a lone CR or a lone LF) as "\n". A CR LF split
// between two arrivals is still one line end.
class ConsoleDecoder {
 public:
  // The text of `bytes`, the next piece of the stream.
  std::string Decode(std::string_view bytes);
  // Starts a new stream (a new connection).
  void Reset() { after_cr_ = false; }

 private:
  bool after_cr_ = false;  // the last byte was a CR, so a leading LF is its pair
};

// The console bytes for the UTF-8 text `text`: each character up to U+00FF as
// its byte, any other character (or a broken sequence) as "?".
std::string TextToConsoleBytes(std::string_view text);

// The bytes the console log holds for console text `text`: each character as
// its console byte (as it came, not UTF-8) and each "\n" as CR LF (a CR LF
// that is already there stays one).
std::string ConsoleTextToLogBytes(std::string_view text);

}  // namespace monitor
