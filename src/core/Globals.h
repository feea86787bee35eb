#pragma once
// The global objects of the game are built in one fixed order before start-up and destroyed
// in the reverse order at exit, explicitly, by this table (never by the order in which the
// language happens to run static constructors). Each subsystem fills the entries of the
// objects it owns; an entry without an owner yet is skipped.

// The places in the order; the numbers leave room for the objects not built yet.
enum GlobalOrder {
  kGlobalPreferences = 1,
  kGlobalPrimarySurface = 2,
  kGlobalBackBuffer = 3,
  kGlobalRandomGenerators = 28,
  kGlobalSoundManager = 29,
  kGlobalCdPlayer = 30,
  kGlobalFrontEndRoot = 37,
  kGlobalMainMenu = 39,
  kGlobalRealmFile = 60,
  kGlobalBlitBenchmark = 72,
  kGlobalOrderCount = 73,
};

struct GlobalObjectEntry {
  const char* name = nullptr;
  void (*construct)() = nullptr;
  void (*destroy)() = nullptr;
};

// Puts the owner's construction and destruction at their place (the core's own entries are
// there from the start).
void SetGlobalObject(int order, const char* name, void (*construct)(), void (*destroy)());

// Names the place of an object whose owner fills nothing yet, so that the order lists it.
// An entry that has functions keeps its name.
void NameGlobalObject(int order, const char* name);

// Told of each entry just before it is destroyed, with its place and name (tests watch the
// exit order through it); null stops the watching.
void WatchGlobalObjectDestruction(void (*watcher)(int order, const char* name));

// Constructs every entry in order. With registerAtExit each destruction is registered with the
// exit list in the same step, so that any exit, fatal ones included, destroys in reverse.
void ConstructGlobalObjects(bool registerAtExit);
// Destroys what was constructed, last first (tests; the program leaves it to the exit list).
void DestroyGlobalObjects();
// Names of the entries constructed, in order (tests).
int ConstructedGlobalObjectCount();
