#include "devices/medium_type.h"

namespace {

bool InMask(unsigned type, unsigned mask) { return type < 32 && (mask >> type & 1u); }

}  // namespace

bool IsDVDMedium(unsigned type)
{
    // 4-9, 13, 15-22
    return InMask(type, 0x7FA3F0u);
}

bool IsWritableMedium(unsigned type)
{
    // 2, 3, 5-9, 11-13, 15, 16, 18, 19, 21, 22
    return InMask(type, 0x6DBBECu);
}

bool IsErasableMedium(unsigned type)
{
    // 3, 6-9, 12, 19, 22
    return InMask(type, 0x4813C8u);
}

const char* MediumTypeName(unsigned type, const char* unknown)
{
    static const char* const names[] = {
        "UNKNOWN", "CD-ROM",   "CD-R",     "CD-RW",  "DVD-ROM", "DVD-R",  "DVD-RAM",  "DVD-RWRO",
        "DVD-RWSR", "DVD+RW", "DDCD-ROM", "DDCD-R", "DDC-RW",  "DVD+R",  "No media", "DVD+R(DL)",
    };
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : unknown;
}
