#pragma once

#include "winui/windows_api.h"

#include <string>
#include <vector>

// For tests that open a pop-up menu: the next menu this thread tracks is
// read (its items' texts into `items`) and then the item with access key
// `key` is chosen, or the menu is closed when `key` is 0.
void OnNextMenu(std::vector<std::string>& items, wchar_t key);
