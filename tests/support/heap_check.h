// A heap check for the test programs that compile heap_check.cpp in (it
// replaces the global operator new and delete of the whole program): each
// block that is deleted is filled with a pattern and held back for a while
// before it is freed, so that a write to an object after its delete shows.
#pragma once
#include <string>

// Empty when the heap is sound: every block held back still has its
// pattern, every block freed so far had it, and HeapValidate passes on
// every heap of the process. Else what was found.
std::string HeapFaults();
