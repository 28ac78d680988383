// Version texts every deliverable carries in its version resource.
#pragma once
#define TB_VERSION_BINARY 1,0,0,1
#define TB_VERSION_TEXT "1.0.0.1"
#define TB_COMPANY "Tavell software"
#define TB_PRODUCT "Tavell Burner"
#define TB_COPYRIGHT "Copyright (C) Tavell software"
