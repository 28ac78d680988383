// Class identifiers of the data-disc project type and of the frames it
// hosts besides the task panel (CLSID_CoPanelCtrl, common.idl).
#pragma once
#include <windows.h>

// {2EECB0E1-0EE1-4541-87B1-D135261D0108}, "Maravin.CoMaravin.1"
extern const CLSID CLSID_CoMaravin;
// The data editor, "Nostrine.CoNostrine.1": {2A2ABF41-FF88-4FE7-A5C7-99CD9996B2A7}
extern const CLSID CLSID_CoNostrine;
// The burning frame, "Drubeck.CoDrubeck.1": {3FB61D06-044C-4431-97A1-93DB04B8D2A1}
extern const CLSID CLSID_CoDrubeck;
