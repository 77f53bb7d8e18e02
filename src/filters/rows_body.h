// The row kernels, written once against the lane types U32, W16 and F64.
// Each instruction set's file includes this inside its own namespace and
// target region, after <algorithm>, <cstdint>, <utility>, core/simd.h and
// the filters' network.h, rows.h, lanes_plain.h and kernels.h; so it has no
// include guard and includes nothing itself.
//
// Whatever the lane width, the bits are the same: min, max and 16-bit
// integer arithmetic are exact, and the doubles are combined in the window's
// order in every lane.

// Stage buffers: one rank (or one value) per window start of a span, plus
// the window's overhang.
constexpr int kStride = kSpan + 8;
using Stage = std::uint32_t[kStride];

// body.template operator()<V>(x) over [begin, end) a vector at a time, the
// last vector moved back to end at `end` (simd::NextVector); a range shorter
// than a vector goes a lane at a time, with S.
template <class V, class S, class Body>
inline void ForRange(int begin, int end, Body&& body) {
  const int n = end - begin;
  if (n >= V::kLanes) {
    for (int i = 0; i < n; i = simd::NextVector<V::kLanes>(i, n)) body.template operator()<V>(begin + i);
  } else {
    for (int x = begin; x < end; ++x) body.template operator()<S>(x);
  }
}

// Rows are worked top to bottom, and no prefetcher looks from one row to the
// next: the part of the row that the next result row adds is asked for while
// this one is computed.
inline const std::uint32_t* RowBelow(const PixelMatrix& p, int r, int x) {
  return r < p.height() ? p.row(r) + x : nullptr;
}
inline void PrefetchRow(const std::uint32_t* row, int n) {
  if (!row) return;
  for (int i = 0; i < n; i += 16) __builtin_prefetch(row + i);
}

// ---- Median: sorted columns, merged in bands shared by neighbouring windows.

// Runs a network program (network.h) on lanes L: load(i) gives input i,
// store(j, v) takes kept rank j.
template <class L, const auto& P, class Load, class Store>
inline void Execute(Load&& load, Store&& store) {
  typename L::T s[P.kSlots];
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((P.used[I] ? void(s[I] = load(static_cast<int>(I))) : void()), ...);
  }
  (std::make_index_sequence<P.kInputs>{});
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((s[P.ops[I].dst] =
          P.ops[I].max ? L::Max(s[P.ops[I].a], s[P.ops[I].b]) : L::Min(s[P.ops[I].a], s[P.ops[I].b])),
     ...);
  }
  (std::make_index_sequence<P.kOps>{});
  [&]<std::size_t... J>(std::index_sequence<J...>) { (store(static_cast<int>(J), s[P.outputs[J]]), ...); }
  (std::make_index_sequence<P.kOutputs>{});
}

// dst[i] = kept ranks of merge(a[i + offA], b[i + offB]) for i in [0, end).
template <const auto& P, int NA>
inline void MergeStage(int end, const Stage* a, int offA, const Stage* b, int offB, Stage* dst) {
  ForRange<U32, plain::U32>(0, end, [&]<class L>(int i) {
    Execute<L, P>([&](int r) { return r < NA ? L::Load(a[r] + i + offA) : L::Load(b[r - NA] + i + offB); },
                  [&](int r, typename L::T v) { L::Store(dst[r] + i, v); });
  });
}

// out[i] = the one kept rank of merge(a[i], b[i + offB]).
template <const auto& P, int NA>
inline void FinalStage(int end, const Stage* a, const Stage* b, int offB, Colour* out) {
  ForRange<U32, plain::U32>(0, end, [&]<class L>(int i) {
    Execute<L, P>([&](int r) { return r < NA ? L::Load(a[r] + i) : L::Load(b[r - NA] + i + offB); },
                  [&](int, typename L::T v) { L::Store(out + i, L::Colour24(v)); });
  });
}

// Window j covers columns j .. j + N - 1 of the span. Sorted columns are
// merged into bands of two, three or four neighbouring columns, each band
// serving several windows and keeping only the ranks that can still be the
// median (net::MedianBand); a window's median is then one merge of the band
// over its first N - 1 columns with its sorted last column.
template <int N>
void MedianSpan(const PixelMatrix& p, int x0, int y, Colour* out, int count) {
  constexpr int h = N / 2, K = N * N;
  const std::uint32_t* rows[N];
  for (int r = 0; r < N; ++r) rows[r] = p.row(y - h + r) + (x0 - h);
  PrefetchRow(RowBelow(p, y + h + 1, x0 - h), count + N - 1);

  alignas(64) Stage col[N];  // col[r][i]: rank r of column x0 - h + i
  ForRange<U32, plain::U32>(0, count + N - 1, [&]<class L>(int i) {
    Execute<L, net::kProgram<net::Sort(N)>>([&](int r) { return L::Load(rows[r] + i); },
                                            [&](int r, typename L::T v) { L::Store(col[r] + i, v); });
  });

  using net::MedianBand;
  using net::MedianMerge;
  constexpr net::Band kCol = MedianBand(N, K), kPair = MedianBand(2 * N, K);
  alignas(64) Stage pair[kPair.count];  // columns i, i + 1
  if constexpr (N == 3) {
    MergeStage<net::kProgram<MedianMerge(N, kCol, N, kCol, K)>, N>(count, col, 0, col, 1, pair);
    FinalStage<net::kProgram<MedianMerge(2 * N, kPair, N, kCol, K)>, kPair.count>(count, pair, col, 2, out);
  } else if constexpr (N == 5) {
    constexpr net::Band kQuad = MedianBand(4 * N, K);
    alignas(64) Stage quad[kQuad.count];  // columns i .. i + 3
    MergeStage<net::kProgram<MedianMerge(N, kCol, N, kCol, K)>, N>(count + 2, col, 0, col, 1, pair);
    MergeStage<net::kProgram<MedianMerge(2 * N, kPair, 2 * N, kPair, K)>, kPair.count>(count, pair, 0, pair,
                                                                                       2, quad);
    FinalStage<net::kProgram<MedianMerge(4 * N, kQuad, N, kCol, K)>, kQuad.count>(count, quad, col, 4, out);
  } else {
    constexpr net::Band kTriple = MedianBand(3 * N, K), kSix = MedianBand(6 * N, K);
    alignas(64) Stage triple[kTriple.count];  // columns i .. i + 2
    alignas(64) Stage six[kSix.count];        // columns i .. i + 5
    MergeStage<net::kProgram<MedianMerge(N, kCol, N, kCol, K)>, N>(count + 3, col, 0, col, 1, pair);
    MergeStage<net::kProgram<MedianMerge(2 * N, kPair, N, kCol, K)>, kPair.count>(count + 3, pair, 0, col, 2,
                                                                                  triple);
    MergeStage<net::kProgram<MedianMerge(3 * N, kTriple, 3 * N, kTriple, K)>, kTriple.count>(count, triple, 0,
                                                                                             triple, 3, six);
    FinalStage<net::kProgram<MedianMerge(6 * N, kSix, N, kCol, K)>, kSix.count>(count, six, col, 6, out);
  }
}

// The 3 x 3 median without stage buffers: a column's three values sorted,
// the sorted columns slid one and two lanes to meet their neighbours, and
// the median as the middle of (largest low, middle middle, smallest high).
template <class L>
struct Sorted3 {
  typename L::T lo, mid, hi;
};

template <class L>
inline Sorted3<L> SortColumns3(const std::uint32_t* const* rows, int i) {
  const typename L::T a = L::Load(rows[0] + i), b = L::Load(rows[1] + i), c = L::Load(rows[2] + i);
  const typename L::T lo = L::Min(a, b), hi = L::Max(a, b);
  const typename L::T top = L::Max(hi, c), low = L::Min(hi, c);
  return Sorted3<L>{L::Min(lo, low), L::Max(lo, low), top};
}

template <class L>
inline typename L::T Median3Of(typename L::T a, typename L::T b, typename L::T c) {
  return L::Max(L::Min(a, b), L::Min(L::Max(a, b), c));
}

// Returns how many of the count results it wrote; the rest, fewer than two
// vectors, are left to the staged form so no load reaches past the row.
template <class L>
int SlidingMedian3(const PixelMatrix& p, int x0, int y, Colour* out, int count) {
  using T = typename L::T;
  constexpr int V = L::kLanes;
  const std::uint32_t* rows[3] = {p.row(y - 1) + (x0 - 1), p.row(y) + (x0 - 1), p.row(y + 1) + (x0 - 1)};
  int j = 0;
  if (count + 2 < 2 * V) return j;
  Sorted3<L> cur = SortColumns3<L>(rows, 0);
  const std::uint32_t* below = RowBelow(p, y + 2, x0 - 1);
  for (; j + 2 * V <= count + 2; j += V) {
    if (below) __builtin_prefetch(below + j + 2 * V);
    const Sorted3<L> next = SortColumns3<L>(rows, j + V);
    const T lo1 = L::template Slide<1>(cur.lo, next.lo), lo2 = L::template Slide<2>(cur.lo, next.lo);
    const T mid1 = L::template Slide<1>(cur.mid, next.mid), mid2 = L::template Slide<2>(cur.mid, next.mid);
    const T hi1 = L::template Slide<1>(cur.hi, next.hi), hi2 = L::template Slide<2>(cur.hi, next.hi);
    const T lo = L::Max(L::Max(cur.lo, lo1), lo2), hi = L::Min(L::Min(cur.hi, hi1), hi2);
    L::Store(out + j, L::Colour24(Median3Of<L>(lo, Median3Of<L>(cur.mid, mid1, mid2), hi)));
    cur = next;
  }
  return j;
}

// ---- Max, min and midpoint: separable, a column of N rows, then N columns.

// Max keeps the larger packed value (hi); min and midpoint keep the channel
// minima (lo), and midpoint the channel maxima too (hi).
template <OrderKind Kind>
constexpr bool kUsesLo = Kind != OrderKind::Max;
template <OrderKind Kind>
constexpr bool kUsesHi = Kind != OrderKind::Min;

template <class L, OrderKind Kind>
inline void Fold(typename L::T& lo, typename L::T& hi, const std::uint32_t* loAt, const std::uint32_t* hiAt) {
  if constexpr (Kind == OrderKind::Max) hi = L::Max(hi, L::Load(hiAt));
  if constexpr (kUsesLo<Kind>) lo = L::MinBytes(lo, L::Load(loAt));
  if constexpr (Kind == OrderKind::Midpoint) hi = L::MaxBytes(hi, L::Load(hiAt));
}

template <int N, OrderKind Kind>
void OrderSpan(const PixelMatrix& p, int x0, int y, Colour* out, int count) {
  constexpr int h = N / 2;
  const std::uint32_t* rows[N];
  for (int r = 0; r < N; ++r) rows[r] = p.row(y - h + r) + (x0 - h);
  PrefetchRow(RowBelow(p, y + h + 1, x0 - h), count + N - 1);
  alignas(64) std::uint32_t lo[kStride], hi[kStride];
  ForRange<U32, plain::U32>(0, count + N - 1, [&]<class L>(int i) {
    typename L::T l = L::Load(rows[0] + i), g = l;
    for (int r = 1; r < N; ++r) Fold<L, Kind>(l, g, rows[r] + i, rows[r] + i);
    if constexpr (kUsesLo<Kind>) L::Store(lo + i, l);
    if constexpr (kUsesHi<Kind>) L::Store(hi + i, g);
  });
  ForRange<U32, plain::U32>(0, count, [&]<class L>(int j) {
    typename L::T l{}, g{};
    if constexpr (kUsesLo<Kind>) l = L::Load(lo + j);
    if constexpr (kUsesHi<Kind>) g = L::Load(hi + j);
    for (int d = 1; d < N; ++d) Fold<L, Kind>(l, g, lo + j + d, hi + j + d);
    typename L::T v = g;
    if constexpr (Kind == OrderKind::Min) v = l;
    if constexpr (Kind == OrderKind::Midpoint) v = L::MidBytes(l, g);
    L::Store(out + j, L::Colour24(v));
  });
}

// The same without buffers: each vector of columns reduced down the N rows,
// then across by sliding the next vector's columns in, one lane at a time.
// Returns how many results it wrote, as SlidingMedian3 does.
template <class L, int N, OrderKind Kind>
int SlidingOrder(const PixelMatrix& p, int x0, int y, Colour* out, int count) {
  using T = typename L::T;
  constexpr int h = N / 2, V = L::kLanes;
  static_assert(V >= N - 1, "a window spans at most two vectors");
  const std::uint32_t* rows[N];
  for (int r = 0; r < N; ++r) rows[r] = p.row(y - h + r) + (x0 - h);
  auto down = [&](int i, T& lo, T& hi) {
    lo = hi = L::Load(rows[0] + i);
    for (int r = 1; r < N; ++r) Fold<L, Kind>(lo, hi, rows[r] + i, rows[r] + i);
  };
  int j = 0;
  if (count + N - 1 < 2 * V) return j;
  T lo, hi, nextLo, nextHi;
  down(0, lo, hi);
  const std::uint32_t* below = RowBelow(p, y + h + 1, x0 - h);
  for (; j + 2 * V <= count + N - 1; j += V) {
    if (below) __builtin_prefetch(below + j + 2 * V);
    down(j + V, nextLo, nextHi);
    T l = lo, g = hi;
    [&]<std::size_t... K>(std::index_sequence<K...>) {
      if constexpr (kUsesLo<Kind>) ((l = L::MinBytes(l, L::template Slide<K + 1>(lo, nextLo))), ...);
      if constexpr (Kind == OrderKind::Max) ((g = L::Max(g, L::template Slide<K + 1>(hi, nextHi))), ...);
      if constexpr (Kind == OrderKind::Midpoint)
        ((g = L::MaxBytes(g, L::template Slide<K + 1>(hi, nextHi))), ...);
    }
    (std::make_index_sequence<N - 1>{});
    T v = g;
    if constexpr (Kind == OrderKind::Min) v = l;
    if constexpr (Kind == OrderKind::Midpoint) v = L::MidBytes(l, g);
    L::Store(out + j, L::Colour24(v));
    lo = nextLo;
    hi = nextHi;
  }
  return j;
}

// ---- Sums of 16-bit channels: the arithmetic mean and the fixed masks.

template <class L>
inline typename L::T Divide(typename L::T v, const Divider16& d) {
  for (int i = 0; i < d.steps; ++i) v = L::Shr(L::MulHi(v, d.m[i]), d.shift[i]);
  return v;
}

template <int N>
void MeanSpan(const PixelMatrix& p, const Divider16& d, int x0, int y, Colour* out, int count) {
  constexpr int h = N / 2;
  const std::uint32_t* rows[N];
  for (int r = 0; r < N; ++r) rows[r] = p.row(y - h + r) + (x0 - h);
  PrefetchRow(RowBelow(p, y + h + 1, x0 - h), count + N - 1);
  alignas(64) std::uint16_t sums[kStride * 4];  // column sums, four channels a pixel
  ForRange<W16, plain::W16>(0, count + N - 1, [&]<class L>(int i) {
    typename L::T s = L::Widen(rows[0] + i);
    for (int r = 1; r < N; ++r) s = L::Add(s, L::Widen(rows[r] + i));
    L::Store(sums + 4 * i, s);
  });
  ForRange<W16, plain::W16>(0, count, [&]<class L>(int j) {
    typename L::T s = L::Load(sums + 4 * j);
    for (int c = 1; c < N; ++c) s = L::Add(s, L::Load(sums + 4 * (j + c)));
    L::StoreBytes(out + j, Divide<L>(s, d));
  });
}

void ConvolveRow(const PixelMatrix& p, const ConvolveTerms& t, int x0, int y, Colour* out, int count) {
  const std::uint32_t* src[9];
  for (int k = 0; k < t.count; ++k) src[k] = p.row(y + t.dy[k]) + x0 + t.dx[k];
  const std::uint32_t* below = RowBelow(p, y + 2, x0 - 1);
  ForRange<W16, plain::W16>(0, count, [&]<class L>(int j) {
    if (below) __builtin_prefetch(below + j + 2 * L::kLanes);
    typename L::T s = L::Zero();
    for (int k = 0; k < t.count; ++k) s = L::Add(s, L::MulLo(L::Widen(src[k] + j), t.coefficient[k]));
    if (t.divide) s = Divide<L>(s, t.divider);
    L::StoreBytes(out + j, s);
  });
}

// The Gaussian table is symmetric in dx and in dy, so values at the same
// distances are added first and each distinct weight multiplies once.
void GaussianRow(const PixelMatrix& p, const Divider16& d, int x0, int y, Colour* out, int count) {
  const std::uint32_t* rows[5];
  for (int r = 0; r < 5; ++r) rows[r] = p.row(y - 2 + r) + (x0 - 2);
  const std::uint32_t* below = RowBelow(p, y + 3, x0 - 2);
  ForRange<W16, plain::W16>(0, count, [&]<class L>(int j) {
    if (below) __builtin_prefetch(below + j + 2 * L::kLanes);
    using T = typename L::T;
    T byDy[5][3];  // per column: the centre row, rows +-1, rows +-2
    for (int c = 0; c < 5; ++c) {
      byDy[c][0] = L::Widen(rows[2] + j + c);
      byDy[c][1] = L::Add(L::Widen(rows[1] + j + c), L::Widen(rows[3] + j + c));
      byDy[c][2] = L::Add(L::Widen(rows[0] + j + c), L::Widen(rows[4] + j + c));
    }
    T s = L::Zero();
    for (int b = 0; b < 3; ++b) {
      s = L::Add(s, L::MulLo(byDy[2][b], static_cast<std::int16_t>(kGaussianWeights[2][2 + b])));
      s = L::Add(
          s, L::MulLo(L::Add(byDy[1][b], byDy[3][b]), static_cast<std::int16_t>(kGaussianWeights[3][2 + b])));
      s = L::Add(
          s, L::MulLo(L::Add(byDy[0][b], byDy[4][b]), static_cast<std::int16_t>(kGaussianWeights[4][2 + b])));
    }
    L::StoreBytes(out + j, Divide<L>(s, d));
  });
}

// ---- The geometric, harmonic and contraharmonic means: per channel, the
// doubles of the window combined dx outer, dy inner, in every lane; U windows
// at a time so that several chains of products or sums are in flight.

template <class L, bool Product, int N, int U>
inline void CombineAt(const double* const* rows, int j, double* out) {
  typename L::T acc[U];
  for (int u = 0; u < U; ++u) acc[u] = L::Set1(Product ? 1.0 : 0.0);
  for (int dx = 0; dx < N; ++dx)
    for (int dy = 0; dy < N; ++dy) {
      const double* at = rows[dy] + j + dx;
      for (int u = 0; u < U; ++u) {
        const typename L::T v = L::Load(at + u * L::kLanes);
        acc[u] = Product ? L::Mul(acc[u], v) : L::Add(acc[u], v);
      }
    }
  for (int u = 0; u < U; ++u) L::Store(out + j + u * L::kLanes, acc[u]);
}

template <bool Product, int N>
void CombineSpan(const double* const* rows, int count, double* out) {
  constexpr int kU = 8, kStep = kU * F64::kLanes;
  int j = 0;
  for (; j + kStep <= count; j += kStep) CombineAt<F64, Product, N, kU>(rows, j, out);
  ForRange<F64, plain::F64>(j, count, [&]<class L>(int i) { CombineAt<L, Product, N, 1>(rows, i, out); });
}

// Whole numbers whose sums stay below 2^53 add up exactly in any order, so
// such windows are summed down the columns first and the column sums shared.
template <int N>
void SumByColumns(const double* const* rows, int count, double* out) {
  alignas(64) double column[kStride];
  ForRange<F64, plain::F64>(0, count + N - 1, [&]<class L>(int i) {
    typename L::T s = L::Load(rows[0] + i);
    for (int dy = 1; dy < N; ++dy) s = L::Add(s, L::Load(rows[dy] + i));
    L::Store(column + i, s);
  });
  ForRange<F64, plain::F64>(0, count, [&]<class L>(int j) {
    typename L::T s = L::Load(column + j);
    for (int dx = 1; dx < N; ++dx) s = L::Add(s, L::Load(column + j + dx));
    L::Store(out + j, s);
  });
}

void RootsRow(const RootTable& roots, const double* p, int count, int* out) {
  ForRange<F64, plain::F64>(0, count, [&]<class L>(int j) { L::StoreRoot(out + j, L::Load(p + j), roots); });
}

template <int N>
void DoubleMeanSpan(const PixelMatrix& p, const DoubleMeanJob& job, DoubleMeanRing& ring, int x0, int y,
                    Colour* out, int count) {
  constexpr int h = N / 2;
  const int tables = job.kind == MeanKind::Contraharmonic ? 2 : 1;
  // Going on down the same strip only the newest row needs converting.
  const bool next = ring.x == x0 && ring.count == count && ring.y == y - 1;
  // A strip's row is short, so it is asked for a few rows early.
  PrefetchRow(RowBelow(p, y + h + 4, x0 - h), count + N - 1);
  for (int r = next ? y + h : y - h; r <= y + h; ++r) {
    const std::uint32_t* src = p.row(r) + (x0 - h);
    for (int t = 0; t < tables; ++t) {
      const double* table = job.table[t];
      double* red = ring.values[t][0][r % N];
      double* green = ring.values[t][1][r % N];
      double* blue = ring.values[t][2][r % N];
      for (int i = 0; i < count + N - 1; ++i) {
        const std::uint32_t c = src[i];
        red[i] = table[c & 0xFF];
        green[i] = table[(c >> 8) & 0xFF];
        blue[i] = table[(c >> 16) & 0xFF];
      }
    }
  }
  ring.x = x0;
  ring.y = y;
  ring.count = count;

  alignas(64) double combined[2][3][kSpan];
  for (int t = 0; t < tables; ++t)
    for (int c = 0; c < 3; ++c) {
      const double* rows[N];
      for (int dy = 0; dy < N; ++dy) rows[dy] = ring.values[t][c][(y - h + dy) % N];
      if (job.kind == MeanKind::Geometric) {
        CombineSpan<true, N>(rows, count, combined[t][c]);
      } else if (job.wholeSums) {
        SumByColumns<N>(rows, count, combined[t][c]);
      } else {
        CombineSpan<false, N>(rows, count, combined[t][c]);
      }
    }

  alignas(64) int v[3][kSpan];
  for (int c = 0; c < 3; ++c) {
    const double* a = combined[0][c];
    if (job.kind == MeanKind::Geometric) {
      RootsRow(*job.roots, a, count, v[c]);
    } else if (job.kind == MeanKind::Harmonic) {
      // The sum is at least k / 255, so k / sum stays below 256.
      ForRange<F64, plain::F64>(0, count, [&]<class L>(int j) {
        L::StoreChannel(v[c] + j, L::Div(L::Set1(N * N), L::Load(a + j)));
      });
    } else {
      const double* d = combined[1][c];
      ForRange<F64, plain::F64>(0, count, [&]<class L>(int j) {
        const typename L::T ratio = L::Div(L::Load(a + j), L::Load(d + j));
        if (L::Ordinary(L::Load(d + j), ratio)) return L::StoreChannel(v[c] + j, ratio);
        for (int i = j; i < j + L::kLanes; ++i)
          v[c][i] = ContraharmonicChannel(a[i], d[i], job.q, [&] {
            int most = 0;
            for (int r = y - h; r <= y + h; ++r)
              for (int col = x0 + i - h; col <= x0 + i + h; ++col)
                most = std::max(most, static_cast<int>((p.row(r)[col] >> (8 * c)) & 0xFF));
            return most;
          });
      });
    }
  }
  for (int j = 0; j < count; ++j) out[j] = RgbClamped(v[0][j], v[1][j], v[2][j]);
}

// ---- Entry points.

template <template <int> class Span, class... A>
inline void BySize(int n, A&&... a) {
  if (n == 3) Span<3>::run(a...);
  if (n == 5) Span<5>::run(a...);
  if (n == 7) Span<7>::run(a...);
}

template <int N>
struct MedianSize {
  static void run(const PixelMatrix& p, int x, int y, Colour* out, int count) {
    MedianSpan<N>(p, x, y, out, count);
  }
};
template <int N>
struct OrderSize {
  static void run(OrderKind k, const PixelMatrix& p, int x, int y, Colour* out, int count) {
    if (k == OrderKind::Max) OrderSpan<N, OrderKind::Max>(p, x, y, out, count);
    if (k == OrderKind::Min) OrderSpan<N, OrderKind::Min>(p, x, y, out, count);
    if (k == OrderKind::Midpoint) OrderSpan<N, OrderKind::Midpoint>(p, x, y, out, count);
  }
};
template <int N>
struct MeanSize {
  static void run(const PixelMatrix& p, const Divider16& d, int x, int y, Colour* out, int count) {
    MeanSpan<N>(p, d, x, y, out, count);
  }
};
template <int N>
struct DoubleMeanSize {
  static void run(const PixelMatrix& p, const DoubleMeanJob& job, DoubleMeanRing& ring, int x, int y,
                  Colour* out, int count) {
    DoubleMeanSpan<N>(p, job, ring, x, y, out, count);
  }
};

// The buffered kernels take a span at a time.
template <class Run>
inline void BySpans(int x, Colour* out, int count, Run&& run) {
  for (int done = 0; done < count; done += kSpan) run(x + done, out + done, std::min(kSpan, count - done));
}

void MedianRow(const PixelMatrix& p, int n, int x, int y, Colour* out, int count) {
  if constexpr (U32::kLanes > 1) {
    if (n == 3) {
      const int done = SlidingMedian3<U32>(p, x, y, out, count);
      x += done;
      out += done;
      count -= done;
    }
  }
  BySpans(x, out, count, [&](int xs, Colour* o, int c) { BySize<MedianSize>(n, p, xs, y, o, c); });
}
template <int N>
struct SlidingOrderSize {
  static void run(OrderKind k, const PixelMatrix& p, int x, int y, Colour* out, int count, int& done) {
    if (k == OrderKind::Max) done = SlidingOrder<U32, N, OrderKind::Max>(p, x, y, out, count);
    if (k == OrderKind::Min) done = SlidingOrder<U32, N, OrderKind::Min>(p, x, y, out, count);
    if (k == OrderKind::Midpoint) done = SlidingOrder<U32, N, OrderKind::Midpoint>(p, x, y, out, count);
  }
};

void OrderRow(const PixelMatrix& p, int n, OrderKind kind, int x, int y, Colour* out, int count) {
  if constexpr (U32::kLanes > 1) {
    int done = 0;
    BySize<SlidingOrderSize>(n, kind, p, x, y, out, count, done);
    x += done;
    out += done;
    count -= done;
  }
  BySpans(x, out, count, [&](int xs, Colour* o, int c) { BySize<OrderSize>(n, kind, p, xs, y, o, c); });
}
void MeanRow(const PixelMatrix& p, int n, const Divider16& d, int x, int y, Colour* out, int count) {
  BySpans(x, out, count, [&](int xs, Colour* o, int c) { BySize<MeanSize>(n, p, d, xs, y, o, c); });
}
void DoubleMeanRow(const PixelMatrix& p, int n, const DoubleMeanJob& job, DoubleMeanRing& ring, int x, int y,
                   Colour* out, int count) {
  BySize<DoubleMeanSize>(n, p, job, ring, x, y, out, count);
}

extern const RowKernels kRowKernels;
const RowKernels kRowKernels{&MedianRow,   &OrderRow,      &MeanRow, &ConvolveRow,
                             &GaussianRow, &DoubleMeanRow, &RootsRow};
