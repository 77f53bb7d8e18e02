// The detectors' row kernels compiled for AVX-2; VectorRows picks them
// only on a processor that has it.
#include "core/simd.h"
#include "edges/edges.h"
#include "edges/rows.h"

OPTA_TARGET_PUSH("avx2")
#include "edges/row_kernels.h"

namespace opta::edges {

const RowKernels kRowsAvx2 = VectorKernels<simd::Avx2>();

}  // namespace opta::edges
OPTA_TARGET_POP()
