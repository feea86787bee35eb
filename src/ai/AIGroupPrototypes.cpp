// The prototypes of the group decisions (types 6-14); the prototype table asks here first, so
// every group type competes for every group.
#include "ai/AICollectManaDecision.h"
#include "ai/AIEngageGroupDecision.h"
#include "ai/AIEvadeDecision.h"
#include "ai/AIExploreDecision.h"
#include "ai/AIFetchObjectDecision.h"
#include "ai/AIGuardWizardDecision.h"
#include "ai/AIPrototypes.h"
#include "ai/AIRallyDecision.h"
#include "ai/AIRegionDecision.h"

CAIDecision* BuiltGroupPrototype(int type) {
  switch (type) {
    case kAIEngageGroupDecisionType:
      return DecisionPrototype<CAIEngageGroupDecision>();
    case kAIEngageGroupSafelyDecisionType:
      return DecisionPrototype<CAIEngageGroupSafelyDecision>();
    case kAIRegionDecisionType:
      return DecisionPrototype<CAIRegionDecision>();
    case kAICollectManaDecisionType:
      return DecisionPrototype<CAICollectManaDecision>();
    case kAIRallyDecisionType:
      return DecisionPrototype<CAIRallyDecision>();
    case kAIExploreDecisionType:
      return DecisionPrototype<CAIExploreDecision>();
    case kAIEvadeDecisionType:
      return DecisionPrototype<CAIEvadeDecision>();
    case kAIFetchObjectDecisionType:
      return DecisionPrototype<CAIFetchObjectDecision>();
    case kAIGuardWizardDecisionType:
      return DecisionPrototype<CAIGuardWizardDecision>();
    default:
      return nullptr;
  }
}
