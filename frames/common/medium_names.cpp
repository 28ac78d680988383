#include "medium_names.h"

const char* MediumName(unsigned type)
{
    static const char* const names[] = {nullptr,      "CD-ROM",    "CD-R",      "CD-RW",   "DVD-ROM",  "DVD-R",
                                        "DVD-RAM",    "DVD-RW RO", "DVD-RW SR", "DVD+RW",  "DDCD-ROM", "DDCD-R",
                                        "DDCD-RW",    "DVD+R",     nullptr,     "DVD+R DL"};
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : nullptr;
}
