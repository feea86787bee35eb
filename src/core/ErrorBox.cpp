#include "core/ErrorBox.h"

#include <cstdio>
#include <cstring>

#include "platform/MessageBox.h"
#include "platform/Process.h"

unsigned WarningBoxFlags() { return platform::kBoxOk | platform::kBoxIconWarning | platform::kBoxTaskModal | platform::kBoxTopMost; }

void ShowFileLoadError(const char* fileName) {
  static constexpr char kPrefix[] = "Unable to load file: ";
  static constexpr char kSuffix[] = ", Exiting Program";
  constexpr int kMaxName = 256 - 1 - (sizeof kPrefix - 1) - (sizeof kSuffix - 1);
  char message[256];
  std::snprintf(message, sizeof message, "%s%.*s%s", kPrefix, kMaxName, fileName ? fileName : "", kSuffix);
  platform::ShowMessageBox(message, "FILE LOAD ERROR", WarningBoxFlags());
  platform::ExitProcess(1);
}

int ShowGeneralError(const char* text) {
  return platform::ShowMessageBox(text ? text : "", "GENERAL ERROR", WarningBoxFlags());
}
