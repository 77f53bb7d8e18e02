// The detectors' row kernels compiled for AVX-512; VectorRows picks them
// only on a processor that has it.
#include "core/simd.h"
#include "edges/edges.h"
#include "edges/rows.h"

OPTA_TARGET_PUSH("avx512f,avx512bw")
#include "edges/row_kernels.h"

namespace opta::edges {

const RowKernels kRowsAvx512 = VectorKernels<simd::Avx512>();

}  // namespace opta::edges
OPTA_TARGET_POP()
