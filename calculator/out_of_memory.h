// How the core survives running out of memory.
#pragma once

#include <new>

// Every edit is one string operation, which leaves the text as it was when memory runs
// out; the flags change only after it. So an edit that cannot get its memory is simply
// not made, and the program keeps running: no entry point of the core lets bad_alloc
// out, not even one thrown by the window's side of a refresh.
template <typename Edit>
void UnlessOutOfMemory(Edit edit) {
  try {
    edit();
  } catch (const std::bad_alloc&) {
  }
}
