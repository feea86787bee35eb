#pragma once
// What a step of an attribute costs on the character screen. Each attribute group (Mana,
// Health, Control, Talisman) steps by its increment I, and the price of a step follows a power
// law of the steps already taken, s = value / I: raising costs (L x (s + 1))^E + K and a step
// down refunds (L x s)^E + K, each truncated toward zero. The values come from the section
// STEPS_COSTS of the character screen's layout file.

#include <string>

enum CostGroup : int { kCostMana = 0, kCostHealth, kCostControl, kCostTalisman, kCostGroups };

struct StepCost {
  int increment = 1;
  double initialCost = 1.0;
  double linear = 1.0;
  double exponential = 1.0;
};

struct StepCosts {
  StepCost groups[kCostGroups];

  // The defaults: increments Mana 5, Health 5, Control 1, Talisman 1; every factor 1.
  StepCosts();
  // Reads "<Group>_IncrementAmount", "_InitialCost", "_LinearComponent" and
  // "_ExponentialComponent" from section STEPS_COSTS of the file; a missing key keeps its
  // default, and an increment below 1 takes its default, so that a step always moves.
  void Read(const std::string& path);

  // The price of raising an attribute of the value: a result the experience cannot hold (not
  // finite, or beyond the int range) is a price nobody can pay; below 0 it is 0.
  int RaiseCost(CostGroup group, int value) const;
  // What a step down gives back: a result that is not finite gives nothing; kept in [0, int max].
  int Refund(CostGroup group, int value) const;
};
