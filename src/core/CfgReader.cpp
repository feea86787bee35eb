#include "core/CfgReader.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"
#include "platform/Profile.h"

namespace {
void CopyBounded(char* destination, size_t size, const char* text) {
  std::snprintf(destination, size, "%s", text ? text : "");
}
}  // namespace

CCfgReader::CCfgReader() {
  filePath[0] = value[0] = message[0] = section[0] = key[0] = tokenBuffer[0] = delimiterCopy[0] = '\0';
  CopyBounded(sentinel, sizeof sentinel, "Check agains me.");
  CopyBounded(delimiters, sizeof delimiters, ",;(){}[] ");
}

void CCfgReader::SetFile(const char* path) {
  if (!path) path = "";
  bool hasDrive = std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
  if (hasDrive || path[0] == '/') {
    CopyBounded(filePath, sizeof filePath, path);
  } else {
    std::string dir = platform::CurrentDirectory();
    const char* rest = path[0] == '\\' ? path + 1 : path;
    const char* separator = (!dir.empty() && dir.back() == '\\') ? "" : "\\";
    std::snprintf(filePath, sizeof filePath, "%s%s%s", dir.c_str(), separator, rest);
  }
  fileSet = 1;
}

void CCfgReader::SetSection(const char* name) {
  CopyBounded(section, sizeof section, name);
  sectionSet = 1;
}

void CCfgReader::SetKey(const char* name) {
  CopyBounded(key, sizeof key, name);
  keySet = 1;
  restartList = 1;
}

void CCfgReader::ReportMissingKey() {
  // A long path is cut to the message's room.
  const std::string text = std::string("Could not find Key: ") + key + " in config file: " + filePath;
  CopyBounded(message, sizeof message, text.c_str());
  platform::ShowMessageBox(
      message, "CfgRead Error",
      platform::kBoxOk | platform::kBoxIconError | platform::kBoxTaskModal | platform::kBoxTopMost);
}

void CCfgReader::GetString(char* destination, int size) {
  if (!destination || size <= 0) return;
  platform::ReadProfileString(section, key, sentinel, destination, static_cast<size_t>(size), filePath);
  if (std::strcmp(destination, sentinel) == 0) ReportMissingKey();
  restartList = 0;
}

int CCfgReader::GetInt(int* out) {
  char buffer[256];
  platform::ReadProfileString(section, key, "", buffer, sizeof buffer, filePath);
  *out = platform::TextToInt(buffer);
  return 1;
}

char* CCfgReader::NextToken() {
  size_t length = static_cast<size_t>(tokenLength_);
  size_t pos = static_cast<size_t>(tokenPos_);
  while (pos < length && std::strchr(delimiterCopy, tokenBuffer[pos])) ++pos;
  if (pos >= length) {
    tokenPos_ = static_cast<int>(length);
    return nullptr;
  }
  size_t end = pos;
  while (end < length && !std::strchr(delimiterCopy, tokenBuffer[end])) ++end;
  if (end < length) tokenBuffer[end++] = '\0';
  tokenPos_ = static_cast<int>(end);
  return tokenBuffer + pos;
}

char* CCfgReader::NextListItem() {
  if (restartList) {
    platform::ReadProfileString(section, key, sentinel, value, sizeof value, filePath);
    if (std::strcmp(value, sentinel) == 0) ReportMissingKey();
    CopyBounded(tokenBuffer, sizeof tokenBuffer, value);
    CopyBounded(delimiterCopy, sizeof delimiterCopy, delimiters);
    firstToken = 1;
    restartList = 0;
  }
  if (firstToken) {
    tokenPos_ = 0;
    tokenLength_ = static_cast<int>(std::strlen(tokenBuffer));
    firstToken = 0;
  }
  char* token = NextToken();
  if (!token) return nullptr;
  if (char* equals = std::strchr(token, '=')) *equals = '\0';
  return token;
}

int CCfgReader::NextInt(int* out) {
  char* token = NextListItem();
  *out = token ? platform::TextToInt(token) : 0;
  return token ? 1 : 0;
}

int CCfgReader::NextDouble(double* out) {
  char* token = NextListItem();
  *out = token ? platform::TextToReal(token) : 0.0;
  return token ? 1 : 0;
}
