// The prototypes of the spell decisions built so far; the prototype table asks here first and
// keeps a placeholder for every type still to come.
#include "ai/AIChainSpellDecision.h"
#include "ai/AIEnemyCreatureSpells.h"
#include "ai/AIFieldSpells.h"
#include "ai/AIMissileSpells.h"
#include "ai/AIOwnCreatureSpells.h"
#include "ai/AIPrototypes.h"
#include "ai/AIRaiseDeadDecision.h"
#include "ai/AIRouteSpellDecision.h"
#include "ai/AIScriptSpellDecision.h"

CAIDecision* BuiltSpellPrototype(int type) {
  switch (type) {
    case kAIRouteSpellDecisionType:
      return DecisionPrototype<CAIRouteSpellDecision>();
    case kAISpell34DecisionType: {
      static CAIAreaFieldSpell prototype(kAISpell34DecisionType, 34);
      return &prototype;
    }
    case kAIEarthBindDecisionType:
      return DecisionPrototype<CAIEarthBindDecision>();
    case kAIProvokeDecisionType:
      return DecisionPrototype<CAIProvokeDecision>();
    case kAISubversionDecisionType:
      return DecisionPrototype<CAISubversionDecision>();
    case kAILevitateDecisionType:
      return DecisionPrototype<CAILevitateDecision>();
    case kAIChainDecisionType:
      return DecisionPrototype<CAIChainDecision>();
    case kAIHealingDecisionType:
      return DecisionPrototype<CAIHealingDecision>();
    case kAIHoldDecisionType:
      return DecisionPrototype<CAIHoldDecision>();
    case kAIRaiseDeadDecisionType:
      return DecisionPrototype<CAIRaiseDeadDecision>();
    case kAIManaSourceDecisionType:
      return DecisionPrototype<CAIManaSourceDecision>();
    case kAIMissileDecisionType:
      return DecisionPrototype<CAIMissileDecision>();
    case kAISpell72DecisionType:
      return DecisionPrototype<CAISpell72Decision>();
    case kAIIronSkinDecisionType:
      return DecisionPrototype<CAIIronSkinDecision>();
    case kAISpell78DecisionType:
      return DecisionPrototype<CAISpell78Decision>();
    case kAIBlastDecisionType:
      return DecisionPrototype<CAIBlastDecision>();
    case kAIMightyBlowDecisionType:
      return DecisionPrototype<CAIMightyBlowDecision>();
    case kAIFlightDecisionType:
      return DecisionPrototype<CAIFlightDecision>();
    case kAISpell88DecisionType: {
      static CAIAreaFieldSpell prototype(kAISpell88DecisionType, 88);
      return &prototype;
    }
    case kAIScriptSpellDecisionType:
      return DecisionPrototype<CAIScriptSpellDecision>();
    default:
      return nullptr;
  }
}
