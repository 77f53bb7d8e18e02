#pragma once
// Mask clean-up: RemoveObjects clears 8-connected objects smaller than a
// size limit, FillObjects fills background regions smaller than it. Neither
// draws; both change the mask in place and leave column 0 alone.
#include <cstdint>

#include "analysis/label.h"
#include "core/matrix.h"

namespace opta {

using WorkMatrix = Matrix<std::uint32_t>;

// message shows "Insufficient Memory" when storage cannot be had; the mask
// is then left unchanged. Both work in the mask itself, with no picture-sized
// storage beside it.
void RemoveObjects(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, const MessageFn& message);
void FillObjects(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit, const MessageFn& message);

// The rule loop for loop, with its 32-bit work matrix and label rewriting.
void RemoveObjectsReference(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit,
                            const MessageFn& message, WorkMatrix* work = nullptr);
void FillObjectsReference(ByteMatrix& mask, int width, int height, std::int32_t sizeLimit,
                          const MessageFn& message, WorkMatrix* work = nullptr);

}  // namespace opta
