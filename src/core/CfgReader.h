#pragma once
// CCfgReader: the strict reader of one configuration file. The caller names file,
// section and key, and reads the key as text, as an integer, or as a list of numbers taken
// one by one. Unlike the other readers, a missing key is reported to the player.

class CCfgReader {
 public:
  CCfgReader();

  // A path with a drive ("C:...") or starting with '/' is taken as it is; otherwise it is
  // joined to the current directory.
  void SetFile(const char* path);
  void SetSection(const char* name);
  // Sets the key; the next list read starts from a fresh value.
  void SetKey(const char* name);

  // Reads the key into destination; a missing key shows the "CfgRead Error" box and leaves
  // the sentinel text in destination.
  void GetString(char* destination, int size);
  // The key read as atoi reads it, kept within the int range (0 when missing, without a
  // message); always returns 1.
  int GetInt(int* out);
  // The next item of the key's list: 1 with the value, or 0 (and 0 stored) at the end. Items
  // are read as platform::TextToInt and TextToReal read them: never past the int range, and
  // never a real that is not finite.
  int NextInt(int* out);
  int NextDouble(double* out);

  char filePath[256];
  char value[256];
  char sentinel[80];
  char message[256];
  char delimiters[20];
  char section[256];
  char key[256];
  int fileSet = 0;
  int sectionSet = 0;
  int keySet = 0;
  int restartList = 0;
  int firstToken = 0;
  char tokenBuffer[256];
  char delimiterCopy[256];

 private:
  void ReportMissingKey();
  // The next token of tokenBuffer, or null at the end; the position is this reader's own.
  char* NextToken();
  // Steps the key's list: the next token cut at its first '=', or null at the end.
  char* NextListItem();
  int tokenPos_ = 0;
  int tokenLength_ = 0;  // of the value, before tokens were cut out of it
};
