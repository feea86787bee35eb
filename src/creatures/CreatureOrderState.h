#pragma once
// The part of a creature's record that its orders, its per-frame update and its animation
// states keep: engagement, charge memory, countdowns of its timed conditions, the body's
// death stages and the re-plan request. Plain values only, so a copy of a record shares
// nothing; the handlers themselves are not kept here but found again from the order and the
// state (CCreature::RefreshHandlers), so a loaded game resumes them.

#include <cstdint>

struct CCreatureOrderState {
  // --- engagement ---
  int32_t engaged = 0;        // holds one count on its hand-to-hand target's (or engaged-with's) attacker count
  int32_t attackerCount = 0;  // how many creatures hold such a count on this one
  int32_t engagedBy = 0;      // slot + 1 of the creature that marked this one as engaged, 0 none
  int32_t inContact = 0;      // a visible enemy stood in hand-to-hand contact when the order came
  int32_t standCountdown = 0;
  int32_t castSuppressed = 0;  // the animation plays, the cast and the blow do not happen
  // --- charge memory ---
  int32_t walked = 0;       // the creature stopped walking and has not waited since
  int32_t chargeSpeed = 0;  // its walking speed when it stopped
  // --- targets ---
  int32_t replanRequest = 0;   // 1: the scheduler plans a route for the current order
  int32_t targetDistance = 0;  // approximate cell distance to the target when the attack was ordered
  int32_t lastSeenX = -1, lastSeenY = -1, lastSeenLevel = -1;
  int32_t shotDistance = 0;  // the remembered distance of an attack-class 2 creature's last shot
  int32_t attackedX = 0, attackedY = 0, attackedLevel = 0;  // the cell of ATTACK_TERRAIN and a blob attack
  int32_t goalX = 0, goalY = 0, goalLevel = 0;              // the cell of WALK_TO_POS
  int32_t goalChanged = 0;
  int32_t walkingInContact = 0;
  int32_t walkRetries[2] = {};
  int32_t previousX = 0, previousY = 0, previousLevel = 0;
  // --- blocking conditions ---
  int32_t earthBound = 0;
  int32_t panicking = 0;
  int32_t lineMove = 0;       // a stepped straight move is in progress
  int32_t flying = 0;         // in the air by its own wings
  int32_t flightCounter = 0;  // what is left of a flight given by a spell (spell-held state 3)
  int32_t fallFlag = 0;
  int32_t traceDraw = 0;     // one discarded draw a frame, to find where runs part
  int32_t looksChanged = 0;  // the map view rebuilds the print effects
  // --- timed conditions ---
  int32_t dissolve = 0;
  int32_t dissolveSpawned = 0;
  int32_t burnTimer = 0, burnPeriod = 0;
  int32_t lightCounter = 0;
  int32_t printTimers[4] = {};
  int32_t quadDamage = 0, secondAttackTimer = 0, generalCounter = 0;
  int32_t manaRecovery = 0;  // the creature feeds its army's wizard mana
  int32_t nextRecoveryFrame = 0;
  int32_t drainState = 0, drainHealth = 0, nextDrainFrame = 0;
  int32_t poisonPoints = 0, nextPoisonFrame = 0;
  int32_t nextResistanceFrame = 0;
  int32_t levitationOverlay = 0;  // attachAnims[2] plays the rising overlay
  // --- death ---
  int32_t deathStage = 0;
  int32_t bodyCountdown = 0;
};
