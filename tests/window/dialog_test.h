// Resource identifiers of the dialog tests.
#pragma once
#define IDD_TEST_DIALOG 100
#define IDC_TEST_FIRST 1001
#define IDC_TEST_SECOND 1002
#define IDC_TEST_LIST 1010
