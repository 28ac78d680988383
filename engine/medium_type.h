// Classes of the MEDIUM_TYPE codes. Codes 16 to 22 have no name of their
// own but still belong to classes.
#pragma once

bool IsDVDMedium(unsigned type);
bool IsWritableMedium(unsigned type);
bool IsErasableMedium(unsigned type);
