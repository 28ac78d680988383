// Classes of the MEDIUM_TYPE codes. Codes 16 to 22 have no name of their
// own but still belong to classes.
#pragma once

bool IsDVDMedium(unsigned type);
bool IsWritableMedium(unsigned type);
bool IsErasableMedium(unsigned type);

// The name the information windows show for a medium type, or `unknown`
// for a code past the named ones (0 to 15) so no table is read past its end.
const char* MediumTypeName(unsigned type, const char* unknown);
