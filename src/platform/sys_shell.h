#pragma once
// Hands a web address or file to the desktop's opener (xdg-open), without waiting for it.
#include <string>

void sys_open_url(const std::string& url);
