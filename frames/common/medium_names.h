// The names the frames give the engine's medium types.
#pragma once

// The name of a medium type; null for no medium and for an unknown type,
// which each frame names with a text of its own.
const char* MediumName(unsigned type);
