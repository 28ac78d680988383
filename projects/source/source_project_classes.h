// Class identifiers of the disc-copy and image-burn project types. Project
// files and the registry name the types by them: they never change.
#pragma once
#include <windows.h>

// {0DF96816-3BA6-4E20-9C3E-6E945B461A04}, "Quorrel.CoQuorrel.1"
extern const CLSID CLSID_CoQuorrel;
// {B559C352-D0D1-49CE-85AF-5DC3E4E28C04}, "Ellidra.CoEllidra.1"
extern const CLSID CLSID_CoEllidra;
