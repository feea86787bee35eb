#pragma once
// The resumable best-first search shared by the route search over path nodes, the cell-level
// route search and the link tests. Nodes are numbers (a path node's index, a cell's index);
// the user gives the successor generator and the estimate. Each expansion costs one unit of
// budget, so a caller can spread one search over several calls with a small budget each time.
//
// The open set is a heap ordered by (f, order added), so that of equal f the entry added
// first comes first; an entry whose node was reached again more cheaply stays in it
// and is expanded in its turn, as the scheme requires. What is known of each node lives in
// arrays indexed by the node, stamped with the search they belong to, so a new search
// starts without clearing them.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// What a successor carries beyond its cost and node (28 bytes in the original records).
struct CSearchStep {
  int32_t stepKind = 0;
  int32_t facing = 0;       // cell steps: the facing of the step, 0-7
  int32_t levelChange = 0;  // cell steps within a column
  int32_t turn = 0;
  int32_t spare = 0;
  int32_t length = 0;  // accumulated length
  int32_t rating = 0;  // accumulated rating of the nodes passed
};

struct CSuccessor {
  int32_t cost = 0;
  int32_t node = -1;
  CSearchStep step;
};

class CBestFirstSearch {
 public:
  struct Closed {
    int32_t f = INT_MAX;
    int32_t parent = -1;
    CSearchStep step;
  };

  bool restart = true;
  int32_t bestEstimate = 0;
  int32_t bestNode = -1;
  int32_t start = -1;
  CSearchStep startStep;               // what the start node carries (a creature's facing)
  std::vector<CSuccessor> successors;  // the generator's list, scratch of each expansion
  // The route found: (node, what reached it) from the best node back to the start.
  std::vector<std::pair<int32_t, CSearchStep>> route;
  int32_t finalF = 0;

  void Clear() {
    ForgetNodes();
    open_.clear();
    successors.clear();
    route.clear();
    restart = true;
    bestNode = start = -1;
  }

  // The f of a node reached so far; INT_MAX for a node not reached.
  int32_t ClosedF(int32_t node) const {
    if (node < 0 || node >= knownNodes_) return INT_MAX;
    const NodeState& state = nodes_[static_cast<size_t>(node)];
    return state.searchStamp == searchStamp_ ? state.f : INT_MAX;
  }
  const Closed* Find(int32_t node) const {
    if (node < 0 || node >= knownNodes_) return nullptr;
    const NodeState& state = nodes_[static_cast<size_t>(node)];
    return state.searchStamp == searchStamp_ ? &closed_[static_cast<size_t>(state.closed)] : nullptr;
  }
  bool OpenEmpty() const { return open_.empty(); }

  // --- what a search under way keeps between calls, for a saved game ---
  // A search under way as plain values: the start, the best node so far, the numbering of the
  // open entries, every node reached (in the order reached) with what reached it, and the open
  // set in its heap order. A search about to restart keeps nothing more.
  struct Snapshot {
    bool restart = true;
    int32_t start = -1;
    CSearchStep startStep;
    int32_t bestEstimate = 0;
    int32_t bestNode = -1;
    uint32_t sequence = 0;
    std::vector<std::pair<int32_t, Closed>> reached;  // (node, what reached it)
    std::vector<std::pair<uint64_t, int32_t>> open;   // (order, node)
  };
  Snapshot TakeSnapshot() const {
    Snapshot s;
    s.restart = restart;
    if (restart) return s;
    s.start = start;
    s.startStep = startStep;
    s.bestEstimate = bestEstimate;
    s.bestNode = bestNode;
    s.sequence = sequence_;
    s.reached.resize(closed_.size());
    for (int32_t node = 0; node < knownNodes_; ++node) {
      const NodeState& state = nodes_[static_cast<size_t>(node)];
      if (state.searchStamp == searchStamp_)
        s.reached[static_cast<size_t>(state.closed)] = {node, closed_[static_cast<size_t>(state.closed)]};
    }
    for (const OpenEntry& entry : open_) s.open.push_back({entry.order, entry.node});
    return s;
  }
  // Takes a snapshot back when it is one a search of nodes 0 to nodeLimit - 1 can be in: each
  // node reached once, parents and open entries among the nodes reached, the open set a heap
  // numbered below the sequence. False, with the search unchanged, for any other.
  bool RestoreSnapshot(const Snapshot& s, int32_t nodeLimit) {
    if (s.restart) {
      restart = true;
      return true;
    }
    if (!SnapshotIsSound(s, nodeLimit)) return false;
    ForgetNodes();
    for (const auto& [node, data] : s.reached) {
      Have(node);
      Reach(nodes_[static_cast<size_t>(node)], data);
    }
    open_.clear();
    for (const auto& [order, node] : s.open) open_.push_back(OpenEntry{order, node});
    restart = false;
    start = s.start;
    startStep = s.startStep;
    bestEstimate = s.bestEstimate;
    bestNode = s.bestNode;
    sequence_ = s.sequence;
    route.clear();
    return true;
  }

  // Runs from `from` towards `goal` while budget lasts: a budget of B makes B - 1 expansions,
  // because the expansion that spends the last unit is dropped and made again by the next
  // call (so a budget of 1 never gets past the start). generate(node, closed data,
  // successors, budget) appends the successors of a node and spends one unit (none when
  // the budget is below 1); both generate and estimate(node), the remaining cost's
  // estimate, give the same answers for the same node all through one call. Afterwards `route` leads from the start to
  // the best node found so far. Nodes are numbers from 0; a successor with a negative node is passed over.
  template <typename Generate, typename Estimate>
  void Run(int32_t from, int32_t goal, int32_t& budget, Generate&& generate, Estimate&& estimate) {
    NextCallStamp();
    auto estimateOf = [&](int32_t node) {
      NodeState& state = nodes_[static_cast<size_t>(node)];
      if (state.estimateCall != callStamp_) {
        state.estimateCall = callStamp_;
        state.estimate = estimate(node);
      }
      return state.estimate;
    };
    if (restart) {
      if (from < 0) {
        route.clear();
        return;
      }
      ForgetNodes();
      open_.clear();
      sequence_ = 0;
      start = from;
      Have(from);
      Reach(nodes_[static_cast<size_t>(from)], Closed{0, -1, startStep});
      PushOpen(0, from);
      bestEstimate = estimateOf(from);
      bestNode = from;
      restart = false;
    }
    while (!open_.empty()) {
      const int32_t f = OpenF(open_.front());
      const int32_t node = open_.front().node;
      if (f >= ClosedF(goal)) {
        restart = true;
        break;
      }
      NodeState& state = nodes_[static_cast<size_t>(node)];
      const Closed here = closed_[static_cast<size_t>(state.closed)];
      if (f > here.f && state.expandedCall == callStamp_ && state.expandedF == here.f) {
        // A stale entry: the node was reached more cheaply since it was added, and was
        // expanded in this call with what reached it. Its successors, the same as then
        // but dearer by the difference, would improve nothing; it only costs its unit of
        // budget, as the generator would charge it.
        if (budget >= 1) --budget;
        if (budget <= 0) break;
        PopOpen();
        if (open_.empty()) restart = true;
        continue;
      }
      successors.clear();
      generate(node, here, successors, budget);
      // Out of budget: the successors just made are dropped, the node stays open, and the
      // next call goes on from this state.
      if (budget <= 0) break;
      bool frontSpent = true;  // the front entry, taken off by the first successor added
      state.expandedCall = callStamp_;
      state.expandedF = here.f;
      const int32_t hereEstimate = estimateOf(node);
      for (const CSuccessor& next : successors) {
        if (next.node < 0) continue;
        Have(next.node);
        NodeState& reached = nodes_[static_cast<size_t>(next.node)];
        if (reached.estimateCall != callStamp_) {
          reached.estimateCall = callStamp_;
          reached.estimate = estimate(next.node);
        }
        const int32_t nextEstimate = reached.estimate;
        const int64_t total = static_cast<int64_t>(f) - hereEstimate + next.cost + nextEstimate;
        const int32_t fNext = total > INT_MAX ? INT_MAX : static_cast<int32_t>(total);
        if (reached.searchStamp == searchStamp_ && fNext >= reached.f) continue;
        Reach(reached, Closed{fNext, node, next.step});
        if (frontSpent) {
          ReplaceFront(fNext, next.node);
          frontSpent = false;
        } else {
          PushOpen(fNext, next.node);
        }
        if (nextEstimate < bestEstimate) {
          bestEstimate = nextEstimate;
          bestNode = next.node;
        }
      }
      if (frontSpent) PopOpen();
      if (open_.empty()) restart = true;
    }
    if (open_.empty()) restart = true;
    BuildRoute();
  }

 private:
  // Whether a snapshot is one a search of nodes 0 to nodeLimit - 1 can be in: the start
  // reached first and from nowhere, each node reached once and from a node reached, the best
  // node reached, the open entries on nodes reached, numbered below the sequence and in heap
  // order.
  static bool SnapshotIsSound(const Snapshot& s, int32_t nodeLimit) {
    if (s.reached.empty() || s.reached.front().first != s.start || s.reached.front().second.parent != -1) return false;
    std::vector<int32_t> nodes;
    nodes.reserve(s.reached.size());
    for (const auto& entry : s.reached) {
      if (entry.first < 0 || entry.first >= nodeLimit) return false;
      nodes.push_back(entry.first);
    }
    std::sort(nodes.begin(), nodes.end());
    if (std::adjacent_find(nodes.begin(), nodes.end()) != nodes.end()) return false;
    auto known = [&](int32_t node) { return std::binary_search(nodes.begin(), nodes.end(), node); };
    for (size_t i = 1; i < s.reached.size(); ++i)
      if (!known(s.reached[i].second.parent)) return false;
    if (!known(s.bestNode)) return false;
    for (size_t i = 0; i < s.open.size(); ++i) {
      const auto& [order, node] = s.open[i];
      if (!known(node) || static_cast<uint32_t>(order) >= s.sequence) return false;
      if (i > 0 && s.open[(i - 1) / 4].first > order) return false;
    }
    return true;
  }

  // What the search knows of one node: its f and the index of its closed record when the
  // search stamp is this search's; its estimate when estimateCall is this call; and whether
  // this call expanded it, and with what f.
  struct NodeState {
    uint32_t searchStamp = 0;
    int32_t f = INT_MAX;  // as in its closed record
    int32_t closed = 0;
    uint32_t estimateCall = 0;
    int32_t estimate = 0;
    uint32_t expandedCall = 0;  // the call that last expanded the node
    int32_t expandedF = 0;      // with this f reaching it
    int32_t spare = 0;          // 32 bytes: two to a cache line
  };
  // An open entry: f (made unsigned, order kept) in the high half of `order`, the number of
  // the entry in the low half.
  struct OpenEntry {
    uint64_t order;
    int32_t node;
  };
  static int32_t OpenF(const OpenEntry& entry) {
    return static_cast<int32_t>(static_cast<uint32_t>(entry.order >> 32) ^ 0x80000000u);
  }

  void Have(int32_t node) {
    if (node < knownNodes_) return;
    nodes_.resize(std::max<size_t>(static_cast<size_t>(node) + 1, nodes_.size() * 2));
    knownNodes_ = static_cast<int32_t>(std::min<size_t>(nodes_.size(), INT32_MAX));
  }
  void Reach(NodeState& state, const Closed& data) {
    state.f = data.f;
    if (state.searchStamp == searchStamp_) {
      closed_[static_cast<size_t>(state.closed)] = data;
      return;
    }
    state.searchStamp = searchStamp_;
    state.closed = static_cast<int32_t>(closed_.size());
    closed_.push_back(data);
  }
  void ForgetNodes() {
    closed_.clear();
    if (++searchStamp_ == 0) {  // the stamps went round: no node may look known
      for (NodeState& state : nodes_) state.searchStamp = 0;
      searchStamp_ = 1;
    }
  }
  void NextCallStamp() {
    if (++callStamp_ == 0) {
      for (NodeState& state : nodes_) state.estimateCall = state.expandedCall = 0;
      callStamp_ = 1;
    }
  }
  // The open set is a heap of four children a node: half the levels of a binary one, and
  // a node's children share a cache line.
  OpenEntry NewOpenEntry(int32_t f, int32_t node) {
    if (sequence_ == UINT32_MAX) NumberOpenAfresh();
    return OpenEntry{static_cast<uint64_t>(static_cast<uint32_t>(f) ^ 0x80000000u) << 32 | sequence_++, node};
  }
  void PushOpen(int32_t f, int32_t node) {
    const OpenEntry entry = NewOpenEntry(f, node);
    size_t hole = open_.size();
    open_.push_back(entry);
    while (hole > 0) {
      const size_t parent = (hole - 1) / 4;
      if (open_[parent].order <= entry.order) break;
      open_[hole] = open_[parent];
      hole = parent;
    }
    open_[hole] = entry;
  }
  void PopOpen() {
    const OpenEntry last = open_.back();
    open_.pop_back();
    if (!open_.empty()) SiftDown(last);
  }
  // The front entry, expanded, gives its place to the first of its successors added: one
  // pass down the heap instead of a pass down and one up.
  void ReplaceFront(int32_t f, int32_t node) {
    if (sequence_ == UINT32_MAX) {
      PopOpen();
      PushOpen(f, node);
      return;
    }
    SiftDown(NewOpenEntry(f, node));
  }
  // Puts the entry in the hole at the front and moves it down to its place.
  void SiftDown(const OpenEntry& entry) {
    const size_t count = open_.size();
    size_t hole = 0;
    for (;;) {
      const size_t first = 4 * hole + 1;
      size_t least;
      if (first + 4 <= count) {
        // All four children: the least found by comparisons the compiler makes without
        // branches (which way they go is a coin toss, and a wrong guess costs more).
        const OpenEntry* child = &open_[first];
        const size_t a = child[1].order < child[0].order ? 1 : 0;
        const size_t b = child[3].order < child[2].order ? 3 : 2;
        least = first + (child[b].order < child[a].order ? b : a);
      } else {
        if (first >= count) break;
        least = first;
        for (size_t child = first + 1; child < count; ++child)
          if (open_[child].order < open_[least].order) least = child;
      }
      if (entry.order <= open_[least].order) break;
      open_[hole] = open_[least];
      hole = least;
    }
    open_[hole] = entry;
  }
  // Numbers the open entries again from 0 in their order, so that a search that has added
  // 2^32 entries goes on adding them in order.
  void NumberOpenAfresh() {
    std::sort(open_.begin(), open_.end(), [](const OpenEntry& a, const OpenEntry& b) { return a.order < b.order; });
    sequence_ = 0;
    for (OpenEntry& entry : open_) entry.order = (entry.order & 0xFFFFFFFF00000000ull) | sequence_++;
  }

  void BuildRoute() {
    route.clear();
    finalF = ClosedF(bestNode);
    int32_t node = bestNode;
    // Parents always lead back to the start; the count guards against a broken chain.
    for (std::size_t guard = closed_.size() + 1; node != -1 && guard > 0; --guard) {
      const Closed* data = Find(node);
      if (!data) break;
      route.push_back({node, data->step});
      if (node == start) break;
      node = data->parent;
    }
  }

  std::vector<NodeState> nodes_;
  int32_t knownNodes_ = 0;  // nodes_.size()
  std::vector<Closed> closed_;
  std::vector<OpenEntry> open_;  // a heap: its front has the least order
  uint32_t searchStamp_ = 1;
  uint32_t callStamp_ = 0;
  uint32_t sequence_ = 0;
};
