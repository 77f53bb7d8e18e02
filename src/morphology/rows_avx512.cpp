// The passes' row kernels compiled for AVX-512; VectorRows picks them
// only on a processor that has it.
#include "core/simd.h"
#include "morphology/rows.h"

OPTA_TARGET_PUSH("avx512f,avx512bw")
#include "morphology/row_kernels.h"

namespace opta::morph {

const RowKernels kRowsAvx512 = VectorKernels<simd::Avx512>();

}  // namespace opta::morph
OPTA_TARGET_POP()
