// The word bytes of text as 64-bit masks, bit k for byte k: the block-wise
// decoder cuts text into words with them, a batch of masks at a time. SSE2
// where the compiler has it, else eight bytes at a time in plain integers.
#pragma once

#include <cstddef>
#include <cstdint>

// The mask of the 64 bytes from bytes + k * stride into masks[k], for every
// k below count.
void wordByteMasks(const unsigned char* bytes, std::size_t count, std::size_t stride, std::uint64_t* masks);
