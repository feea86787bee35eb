#pragma once
// CDataFile: the handle through which the readers load their binary data files, whole or
// through the packed-file reader. A file that does not pass the packed checks is taken as
// plain data, so packed and plain files can stand side by side.

#include <cstdint>
#include <cstdio>

class CDataFile {
 public:
  CDataFile() = default;
  ~CDataFile() { Close(); }
  CDataFile(const CDataFile&) = delete;
  CDataFile& operator=(const CDataFile&) = delete;

  // Closes any open stream, clears packedFlag and opens the file (a game path).
  bool Open(const char* name, const char* mode);
  void Close();
  bool Seek(long offset, int origin);
  // The size the caller must reserve: the unpacked size of the header at the current
  // position when packedFlag is set and raw is not 1, else the file length.
  int GetSize(int raw);
  // Reads GetSize(0) bytes into the destination.
  bool ReadAll(void* destination);
  bool Read(void* destination, int count);
  // Reads the whole file from the current position and unpacks it into destination
  // (size bytes); a file that is not validly packed is copied as read. False when the file
  // cannot be read whole, or is shorter than size and not packed.
  bool ReadPacked(void* destination, int size);

  bool IsOpen() const { return file != nullptr; }

  FILE* file = nullptr;
  int packedFlag = 0;
  char fileName[256] = {};

 private:
  long Length();
};
