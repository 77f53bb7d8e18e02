// The passes' row kernels compiled for AVX-2; VectorRows picks them
// only on a processor that has it.
#include "core/simd.h"
#include "morphology/rows.h"

OPTA_TARGET_PUSH("avx2")
#include "morphology/row_kernels.h"

namespace opta::morph {

const RowKernels kRowsAvx2 = VectorKernels<simd::Avx2>();

}  // namespace opta::morph
OPTA_TARGET_POP()
