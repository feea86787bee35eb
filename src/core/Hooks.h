#pragma once
// The one way a lower subsystem calls a higher one while the game runs. The lower one
// declares an interface whose methods answer neutral values, and a HookSlot that holds the
// implementation in use; the higher one installs its own in its Install...() function, which
// the spine (src/game) calls at start-up; tests put fakes in for a scope with HookScope. A
// slot never holds null: it starts at, and falls back to, the neutral implementation.
//
//   // low (declared beside the caller)
//   class IThingHooks { public: virtual ~IThingHooks() = default; virtual int Count() { return 0; } };
//   extern HookSlot<IThingHooks> g_thingHooks;
//   ... g_thingHooks->Count() ...
//   // high
//   void InstallThings() { static MyThings things; g_thingHooks.Install(&things); }
//   // test
//   FakeThings fake; HookScope<IThingHooks> scope(g_thingHooks, fake);
//
// The map's hooks (map/MapHooks.h, map/MapViewHooks.h) group several such interfaces in one
// struct with a scope object of their own; the rule is the same.

template <class Interface>
class HookSlot {
 public:
  // Constant-initialised, so that a slot is ready before any global's constructor runs.
  constexpr explicit HookSlot(Interface* neutral) : neutral_(neutral), installed_(neutral) {}
  HookSlot(const HookSlot&) = delete;
  HookSlot& operator=(const HookSlot&) = delete;

  Interface* operator->() const { return installed_; }
  Interface& operator*() const { return *installed_; }
  Interface* Get() const { return installed_; }
  // Installs an implementation that lives as long as it stays installed; null puts the
  // neutral one back.
  void Install(Interface* implementation) { installed_ = implementation ? implementation : neutral_; }

 private:
  Interface* neutral_;
  Interface* installed_;
};

// Installs a fake for the scope and puts back what was installed before.
template <class Interface>
class HookScope {
 public:
  HookScope(HookSlot<Interface>& slot, Interface& fake) : slot_(slot), saved_(slot.Get()) { slot.Install(&fake); }
  ~HookScope() { slot_.Install(saved_); }
  HookScope(const HookScope&) = delete;
  HookScope& operator=(const HookScope&) = delete;

 private:
  HookSlot<Interface>& slot_;
  Interface* saved_;
};
