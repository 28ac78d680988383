// Class identifiers of the audio-CD project type and of the audio editor it
// hosts besides the task panel and the burning frame (CLSID_CoDrubeck, from
// drubeck.idl).
#pragma once
#include <windows.h>

// The audio editor, "Hollistra.CoHollistra.1": {F3349ABB-74EC-49D1-9466-F80D2C36ADEA}
extern const CLSID CLSID_CoHollistra;
// The audio-CD project, "Sunnavar.CoSunnavar.1": {DA2C89CF-D2BF-4141-9FB6-04966871791A}
extern const CLSID CLSID_CoSunnavar;
