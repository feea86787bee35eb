// Feeds arbitrary bytes to the record log's reader, with and without its read buffer: a peek
// that succeeds shows the start of the record read next.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzFiles.h"
#include "core/RecordLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Folder("record_log");
  fuzz::WriteInput("records.log", data, size);
  std::vector<uint8_t> record(512);
  for (int bufferSize : {0, 64}) {
    CRecordLog log;
    if (!log.OpenForRead(fuzz::InFolder("records.log").c_str(), bufferSize)) continue;
    for (int i = 0; i < 1000; ++i) {
      uint8_t peeked[4];
      const int at = log.readPos;
      const bool peekedWhole = log.PeekRecord(peeked, sizeof peeked);
      // A refused peek closes the log: it is opened again at the same record, which is read.
      if (!peekedWhole) {
        if (!log.OpenForRead(fuzz::InFolder("records.log").c_str(), bufferSize)) break;
        log.readPos = at;
      }
      if (!log.ReadRecord(record.data(), static_cast<uint32_t>(record.size()))) break;
      // A peek that succeeded gave the first bytes of the very record read next, never a
      // neighbour's header.
      if (peekedWhole && (log.recordLength < sizeof peeked || std::memcmp(peeked, record.data(), sizeof peeked) != 0))
        __builtin_trap();
    }
  }
  return 0;
}
