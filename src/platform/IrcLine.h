#pragma once
// The lines of the chat server's protocol: "[:prefix] COMMAND param ... [:trailing]", each at
// most 512 bytes with its CR LF. Reading takes a peer's bytes as they come (any length, any
// byte); writing keeps every line we send within the limit and free of control characters,
// so that no text of ours or of a peer can end a line early and smuggle in a command.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr size_t kIrcMaxLineBytes = 512;  // with the CR LF
inline constexpr size_t kIrcMaxParams = 15;

struct IrcMessage {
  std::string prefix;               // the sender, "nick!user@host" or a server name; empty for none
  std::string command;              // upper-cased ("PRIVMSG", "001")
  std::vector<std::string> params;  // the trailing one last
};

// False for an empty line or one without a command. Takes at most kIrcMaxParams parameters;
// the rest of the line joins the last one.
bool ParseIrcLine(std::string_view line, IrcMessage& out);
// The nick of a "nick!user@host" prefix (the whole prefix when it has no '!').
std::string IrcPrefixNick(std::string_view prefix);
// Nicks and channel names compare without regard to ASCII case, as the server does.
bool IrcSameName(std::string_view a, std::string_view b);
// The text with every control character (below 32, and 127) dropped.
std::string DropControlCharacters(std::string_view text);
// The text cut, at a character boundary of UTF-8, to at most max bytes.
std::string CutUtf8(std::string_view text, size_t max);
// Whether the text can stand as a nick or a channel word in a command: not empty, no blank,
// comma, colon at its start, or control character.
bool IrcWordOk(std::string_view word);

// Splits the bytes received so far into whole lines (CR LF or LF), leaving an unfinished
// line in the buffer. A line longer than the limit is dropped whole, up to its end.
class IrcLineSplitter {
 public:
  void Add(const char* data, size_t size);
  // The next whole line without its end; false when none is complete.
  bool Next(std::string& line);

 private:
  std::string buffer_;
  std::vector<std::string> lines_;
  size_t next_ = 0;
  bool discarding_ = false;  // inside a line that grew past the limit
};

}  // namespace platform
