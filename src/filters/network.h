#pragma once
// Compare-exchange networks built at compile time: Batcher's odd-even merge
// for sorted lists of any length, sorting by repeated merging, and pruning
// to the ranks a caller needs. Min and max are exact, so a network gives the
// same answer on one value or on a vector of lanes, in any instruction set.
//
// A stage is lowered to straight-line code over "slots": every kept min or
// max writes a slot whose earlier value is no longer needed, so the compiler
// sees a small array with constant indices and keeps most of it in registers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace opta::filters::net {

// What one stage computes from its inputs.
struct StageSpec {
  int sortSize = 0;  // > 0: sort this many unsorted inputs, every rank kept
  int mergeA = 0;    // otherwise: merge sorted lists of mergeA and mergeB
  int mergeB = 0;
  int first = 0;  // and keep ranks first .. first + count - 1 of the result
  int count = 0;
  friend constexpr bool operator==(const StageSpec&, const StageSpec&) = default;
};

constexpr StageSpec Sort(int n) { return StageSpec{n, 0, 0, 0, n}; }
constexpr StageSpec Merge(int a, int b, int first, int count) { return StageSpec{0, a, b, first, count}; }

// The ranks of a k-value window's median that a subset of `size` values
// can still hold: a value of rank r in the subset has r values below it and
// size - 1 - r above it, and the median needs exactly median below and
// window - 1 - median above.
struct Band {
  int first, count;
};
constexpr Band MedianBand(int size, int window) {
  const int median = window / 2;
  const int lo = size - window + median > 0 ? size - window + median : 0;
  const int hi = size - 1 < median ? size - 1 : median;
  return Band{lo, hi - lo + 1};
}

// Merging two partial bands of a median window: a band standing for sizeA
// window values (holding ranks a.first ..) with one standing for sizeB. The
// values dropped below each band lie below every kept one, so the kept
// ranks of the union are found among the merged bands, shifted by the
// dropped counts.
constexpr StageSpec MedianMerge(int sizeA, Band a, int sizeB, Band b, int window) {
  const Band out = MedianBand(sizeA + sizeB, window);
  return Merge(a.count, b.count, out.first - a.first - b.first, out.count);
}

struct Node {
  std::uint8_t kind = 0;  // 0 input, 1 min, 2 max
  int a = 0, b = 0;
};

class Graph {
 public:
  constexpr int input() { return add(Node{0, 0, 0}); }
  constexpr std::vector<int> sort(const std::vector<int>& v) {
    if (v.size() <= 1) return v;
    const std::size_t h = v.size() / 2;
    return merge(sort(std::vector<int>(v.begin(), v.begin() + h)),
                 sort(std::vector<int>(v.begin() + h, v.end())));
  }
  // Odd-even merge: merge the even-indexed and the odd-indexed elements
  // separately, then one exchange between neighbours puts everything in place.
  constexpr std::vector<int> merge(const std::vector<int>& a, const std::vector<int>& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    if (a.size() == 1 && b.size() == 1) {
      const int lo = add(Node{1, a[0], b[0]});
      const int hi = add(Node{2, a[0], b[0]});
      return {lo, hi};
    }
    const std::vector<int> v = merge(Every(a, 0), Every(b, 0));
    const std::vector<int> w = merge(Every(a, 1), Every(b, 1));
    std::vector<int> out{v[0]};
    std::size_t i = 0;
    for (; i < w.size() && i + 1 < v.size(); ++i) {
      const int lo = add(Node{1, w[i], v[i + 1]});
      const int hi = add(Node{2, w[i], v[i + 1]});
      out.push_back(lo);
      out.push_back(hi);
    }
    for (std::size_t j = i; j < w.size(); ++j) out.push_back(w[j]);
    for (std::size_t j = i + 1; j < v.size(); ++j) out.push_back(v[j]);
    return out;
  }
  std::vector<Node> nodes;

 private:
  constexpr int add(Node n) {
    nodes.push_back(n);
    return static_cast<int>(nodes.size()) - 1;
  }
  static constexpr std::vector<int> Every(const std::vector<int>& v, std::size_t start) {
    std::vector<int> out;
    for (std::size_t i = start; i < v.size(); i += 2) out.push_back(v[i]);
    return out;
  }
};

struct Op {
  std::uint16_t dst = 0, a = 0, b = 0;
  bool max = false;
};

// A stage lowered to slot code, with growable storage (compile time only).
struct Lowered {
  int inputs = 0, slots = 0;
  std::vector<Op> ops;
  std::vector<std::uint16_t> outputs;
  std::vector<bool> used;  // which inputs the kept ops read
};

constexpr Lowered Lower(const StageSpec& s) {
  Graph g;
  std::vector<int> in;
  const int inputs = s.sortSize > 0 ? s.sortSize : s.mergeA + s.mergeB;
  for (int i = 0; i < inputs; ++i) in.push_back(g.input());
  std::vector<int> result;
  if (s.sortSize > 0) {
    result = g.sort(in);
  } else {
    result = g.merge(std::vector<int>(in.begin(), in.begin() + s.mergeA),
                     std::vector<int>(in.begin() + s.mergeA, in.end()));
  }
  const std::vector<int> wanted(result.begin() + s.first, result.begin() + s.first + s.count);

  // Keep what the wanted ranks depend on; note each kept node's last reader.
  const int n = static_cast<int>(g.nodes.size());
  constexpr int kForever = 1 << 30;
  std::vector<bool> keep(n, false);
  std::vector<int> lastUse(n, -1);
  for (int w : wanted) keep[w] = true, lastUse[w] = kForever;
  for (int i = n - 1; i >= 0; --i) {
    const Node& node = g.nodes[i];
    if (!keep[i] || node.kind == 0) continue;
    for (int src : {node.a, node.b}) {
      keep[src] = true;
      if (lastUse[src] < i) lastUse[src] = i;
    }
  }

  Lowered out;
  out.inputs = inputs;
  std::vector<int> slotOf(n, -1);
  std::vector<bool> busy;
  for (int i = 0; i < inputs; ++i) {
    out.used.push_back(keep[in[i]]);
    slotOf[in[i]] = i;
    busy.push_back(keep[in[i]]);
  }
  for (int i = inputs; i < n; ++i) {
    if (!keep[i]) continue;
    const Node& node = g.nodes[i];
    for (int src : {node.a, node.b})
      if (lastUse[src] == i) busy[slotOf[src]] = false;
    int slot = 0;
    while (slot < static_cast<int>(busy.size()) && busy[slot]) ++slot;
    if (slot == static_cast<int>(busy.size())) busy.push_back(false);
    busy[slot] = true;
    slotOf[i] = slot;
    out.ops.push_back(Op{static_cast<std::uint16_t>(slot), static_cast<std::uint16_t>(slotOf[node.a]),
                         static_cast<std::uint16_t>(slotOf[node.b]), node.kind == 2});
  }
  out.slots = static_cast<int>(busy.size());
  for (int w : wanted) out.outputs.push_back(static_cast<std::uint16_t>(slotOf[w]));
  return out;
}

template <int Inputs, int Outputs, int Ops, int Slots>
struct Program {
  static constexpr int kInputs = Inputs, kOutputs = Outputs, kOps = Ops, kSlots = Slots;
  std::array<Op, Ops> ops{};
  std::array<std::uint16_t, Outputs> outputs{};
  std::array<bool, Inputs> used{};
};

struct Shape {
  int inputs, outputs, ops, slots;
};
constexpr Shape ShapeOf(const StageSpec& s) {
  const Lowered l = Lower(s);
  return Shape{l.inputs, static_cast<int>(l.outputs.size()), static_cast<int>(l.ops.size()), l.slots};
}

template <StageSpec S>
constexpr auto Compile() {
  constexpr Shape kShape = ShapeOf(S);
  Program<kShape.inputs, kShape.outputs, kShape.ops, kShape.slots> p;
  const Lowered l = Lower(S);
  for (int i = 0; i < kShape.ops; ++i) p.ops[i] = l.ops[i];
  for (int i = 0; i < kShape.outputs; ++i) p.outputs[i] = l.outputs[i];
  for (int i = 0; i < kShape.inputs; ++i) p.used[i] = l.used[i];
  return p;
}

template <StageSpec S>
inline constexpr auto kProgram = Compile<S>();

}  // namespace opta::filters::net
