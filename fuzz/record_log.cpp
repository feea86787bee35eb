// Feeds arbitrary bytes to the record log's reader, with and without its read buffer.
#include <cstdint>
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
      log.PeekRecord(record.data(), 4);
      if (!log.ReadRecord(record.data(), static_cast<uint32_t>(record.size()))) break;
    }
  }
  return 0;
}
