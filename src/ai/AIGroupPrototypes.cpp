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

namespace {

template <class Decision>
CAIDecision* Prototype() {
  static Decision prototype;
  return &prototype;
}

}  // namespace

CAIDecision* BuiltGroupPrototype(int type) {
  switch (type) {
    case kAIEngageGroupDecisionType:
      return Prototype<CAIEngageGroupDecision>();
    case kAIEngageGroupSafelyDecisionType:
      return Prototype<CAIEngageGroupSafelyDecision>();
    case kAIRegionDecisionType:
      return Prototype<CAIRegionDecision>();
    case kAICollectManaDecisionType:
      return Prototype<CAICollectManaDecision>();
    case kAIRallyDecisionType:
      return Prototype<CAIRallyDecision>();
    case kAIExploreDecisionType:
      return Prototype<CAIExploreDecision>();
    case kAIEvadeDecisionType:
      return Prototype<CAIEvadeDecision>();
    case kAIFetchObjectDecisionType:
      return Prototype<CAIFetchObjectDecision>();
    case kAIGuardWizardDecisionType:
      return Prototype<CAIGuardWizardDecision>();
    default:
      return nullptr;
  }
}
