// The rows of a list view of this process (the first column), in order.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

std::vector<std::string> ListViewRows(HWND list);
