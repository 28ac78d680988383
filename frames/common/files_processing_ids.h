// Resource numbers of the files-processing window (files_processing_dialog.rc).
#pragma once

#define IDD_FILES_PROCESSING 8201
#define IDC_PROCESSING_STOP 8194
#define IDC_PROCESSING_PATH 8195
#define IDC_PROCESSING_LABEL 8200
#define IDC_PROCESSING_BAR 8202
