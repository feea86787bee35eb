#include "frontend/CharacterCosts.h"

#include <climits>
#include <cmath>

#include "platform/Numbers.h"
#include "platform/Profile.h"

namespace {

constexpr const char* kSection = "STEPS_COSTS";
constexpr const char* kGroupNames[kCostGroups] = {"Mana", "Health", "Control", "Talisman"};
constexpr int kDefaultIncrements[kCostGroups] = {5, 5, 1, 1};

// (L x steps)^E + K as a real; the caller decides what a value out of range means.
double Price(const StepCost& cost, double steps) {
  return std::pow(cost.linear * steps, cost.exponential) + cost.initialCost;
}

double ReadReal(const std::string& key, double fallback, const std::string& path) {
  const std::string text = platform::ReadProfileString(kSection, key, "", path);
  return text.empty() ? fallback : platform::TextToReal(text);
}

}  // namespace

StepCosts::StepCosts() {
  for (int g = 0; g < kCostGroups; ++g) groups[g].increment = kDefaultIncrements[g];
}

void StepCosts::Read(const std::string& path) {
  for (int g = 0; g < kCostGroups; ++g) {
    const std::string name = kGroupNames[g];
    StepCost& cost = groups[g];
    const int increment = platform::ReadProfileInt(kSection, name + "_IncrementAmount", cost.increment, path);
    cost.increment = increment >= 1 ? increment : kDefaultIncrements[g];
    cost.initialCost = ReadReal(name + "_InitialCost", cost.initialCost, path);
    cost.linear = ReadReal(name + "_LinearComponent", cost.linear, path);
    cost.exponential = ReadReal(name + "_ExponentialComponent", cost.exponential, path);
  }
}

int StepCosts::RaiseCost(CostGroup group, int value) const {
  const StepCost& cost = groups[group];
  const double price = Price(cost, static_cast<double>(value / cost.increment) + 1.0);
  if (!std::isfinite(price) || price >= static_cast<double>(INT_MAX)) return INT_MAX;
  return platform::RealToInt(price, 0, INT_MAX);
}

int StepCosts::Refund(CostGroup group, int value) const {
  const StepCost& cost = groups[group];
  const double price = Price(cost, static_cast<double>(value / cost.increment));
  if (!std::isfinite(price)) return 0;
  return platform::RealToInt(price, 0, INT_MAX);
}
