// Copies out of a file's mapping that survive the file being cut meanwhile.
// Touching a mapped page past a file's new end raises SIGBUS; a copy made
// here instead returns false for that range, and the program carries on.
#pragma once

#include <cstddef>

namespace urbica {

// Copies len bytes from src, which lies in a mapping of a file, to dst. False
// when a page of src was no longer backed by the file (it was cut or replaced
// in place while mapped); dst then holds part of the bytes. A SIGBUS outside
// the copy's own source range is left to what handled it before.
bool copyFromMapping(void* dst, const void* src, std::size_t len);

}  // namespace urbica
