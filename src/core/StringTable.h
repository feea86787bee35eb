#pragma once
// CStringTable: numbered texts from the "STRINGS" section of a configuration file (keys
// STR_00, STR_01, ...), packed into one block and handed out by number; or a table of
// empty 256-byte slots that its owner fills.

class CStringTable {
 public:
  CStringTable();
  ~CStringTable() { Free(); }
  CStringTable(const CStringTable&) = delete;
  CStringTable& operator=(const CStringTable&) = delete;

  // Reads the file (a name relative to the current directory); 1, or 0 when the block
  // cannot be allocated. The texts end at the first missing key; each is cut at its ';'.
  int Load(const char* fileName);
  // count empty slots of 256 bytes; 1, or 0 when the block cannot be allocated.
  int Allocate(int count);
  // The text of that number, or badIndexText when there is none.
  const char* Get(int index) const;
  // A slot to fill (tables made by Allocate); null for a bad index.
  char* GetSlot(int index);
  int Count() const;
  void Free();

  void* block = nullptr;
  int* offsets = nullptr;
  char* texts = nullptr;
  char badIndexText[21];
};
