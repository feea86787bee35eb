// The prototypes of the spell decisions built so far; the prototype table asks here first and
// keeps a placeholder for every type still to come.
#include "ai/AIFieldSpells.h"
#include "ai/AIMissileSpells.h"
#include "ai/AIOwnCreatureSpells.h"
#include "ai/AIPrototypes.h"
#include "ai/AIRaiseDeadDecision.h"
#include "ai/AIRouteSpellDecision.h"
#include "ai/AIScriptSpellDecision.h"

namespace {

template <class Decision>
CAIDecision* Prototype() {
  static Decision prototype;
  return &prototype;
}

}  // namespace

CAIDecision* BuiltSpellPrototype(int type) {
  switch (type) {
    case kAIRouteSpellDecisionType:
      return Prototype<CAIRouteSpellDecision>();
    case kAISpell34DecisionType: {
      static CAIAreaFieldSpell prototype(kAISpell34DecisionType, 34);
      return &prototype;
    }
    case kAIHealingDecisionType:
      return Prototype<CAIHealingDecision>();
    case kAIHoldDecisionType:
      return Prototype<CAIHoldDecision>();
    case kAIRaiseDeadDecisionType:
      return Prototype<CAIRaiseDeadDecision>();
    case kAIManaSourceDecisionType:
      return Prototype<CAIManaSourceDecision>();
    case kAIMissileDecisionType:
      return Prototype<CAIMissileDecision>();
    case kAISpell72DecisionType:
      return Prototype<CAISpell72Decision>();
    case kAIIronSkinDecisionType:
      return Prototype<CAIIronSkinDecision>();
    case kAISpell78DecisionType:
      return Prototype<CAISpell78Decision>();
    case kAIBlastDecisionType:
      return Prototype<CAIBlastDecision>();
    case kAIMightyBlowDecisionType:
      return Prototype<CAIMightyBlowDecision>();
    case kAIFlightDecisionType:
      return Prototype<CAIFlightDecision>();
    case kAISpell88DecisionType: {
      static CAIAreaFieldSpell prototype(kAISpell88DecisionType, 88);
      return &prototype;
    }
    case kAIScriptSpellDecisionType:
      return Prototype<CAIScriptSpellDecision>();
    default:
      return nullptr;
  }
}
